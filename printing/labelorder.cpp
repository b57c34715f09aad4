#include "labelorder.h"

#include <algorithm>

LabelWalk::LabelWalk(int addresses, int copies, bool collate, int firstLabel, int perSheet)
    : m_addresses(addresses), m_copies(copies), m_perSheet(perSheet), m_collate(collate)
{
    m_done = addresses <= 0 || copies <= 0 || perSheet <= 0;
    m_position = perSheet > 0 ? std::clamp(firstLabel, 0, perSheet - 1) : 0;
    m_countdown = copies;
    m_passesLeft = copies;
}

LabelPlacement LabelWalk::Next()
{
    const LabelPlacement placed{m_page, m_position, m_address};
    if (m_done)
        return placed;

    if (m_collate) {
        ++m_address;
        if (m_address >= m_addresses) {
            --m_passesLeft;
            if (m_passesLeft > 0)
                m_address = 0;
            else
                m_done = true;
        }
    } else {
        --m_countdown;
        if (m_countdown == 0) {
            ++m_address;
            m_countdown = m_copies;
            if (m_address >= m_addresses)
                m_done = true;
        }
    }

    // A new sheet after M × N positions.
    ++m_position;
    if (m_position >= m_perSheet) {
        m_position = 0;
        ++m_page;
    }
    return placed;
}

std::vector<LabelPlacement> LabelPlacements(int addresses, int copies, bool collate, int firstLabel, int perSheet)
{
    std::vector<LabelPlacement> out;
    LabelWalk walk(addresses, copies, collate, firstLabel, perSheet);
    while (!walk.Done())
        out.push_back(walk.Next());
    return out;
}

int LabelPageCount(int addresses, int copies, int firstLabel, int perSheet)
{
    if (addresses <= 0 || copies <= 0 || perSheet <= 0)
        return 0;
    return LastLabelPageIndex(copies, addresses, firstLabel, perSheet) + 1;
}

int LastLabelPageIndex(int copies, int addresses, int firstLabel, int perSheet)
{
    if (copies <= 0 || perSheet <= 0)
        return 0;
    // T − P, then P taken away for as long as something is left.
    long long rest = static_cast<long long>(copies) * std::max(addresses, 0) + std::max(firstLabel, 0) - perSheet;
    int last = 0;
    if (rest > 0)
        last = static_cast<int>((rest + perSheet - 1) / perSheet);
    return last;
}

bool LabelIndexFromUserNumber(int oneBased, int perSheet, int &index)
{
    if (oneBased < 1 || oneBased > perSheet)
        return false;
    index = oneBased - 1;
    return true;
}
