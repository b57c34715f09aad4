#pragma once
// The order in which a label job fills its sheets, as plain logic without
// drawing: the printer, the preview and the tests all walk it.
//
// Positions on a sheet are numbered row by row, left to right, from 0
// (label index = row × N + column); a sheet holds M × N positions. The first
// sheet is filled from the chosen first label, every later sheet from 0.
//   collate off: each address takes `copies` positions in a row before the
//                next address (1 … 1, 2 … 2, 3 … 3);
//   collate on:  the whole list takes one position per address, then again,
//                `copies` times (1, 2, 3 … 1, 2, 3).
// A job with no addresses or with fewer than one copy places no label.

#include <vector>

// One label of a job.
struct LabelPlacement {
    int page = 0;     // sheet, 0-based
    int position = 0; // label index on the sheet
    int address = 0;  // index into the print list

    bool operator==(const LabelPlacement &) const = default;
};

class LabelWalk {
public:
    // `firstLabel` is clamped to the sheet (0 … perSheet − 1).
    LabelWalk(int addresses, int copies, bool collate, int firstLabel, int perSheet);

    // True when every label has been placed.
    bool Done() const { return m_done; }
    // The next label; only valid while !Done().
    LabelPlacement Next();
    // The page the next label goes on (valid while !Done()).
    int NextPage() const { return m_page; }

private:
    int m_addresses, m_copies, m_perSheet;
    bool m_collate;
    int m_page = 0;
    int m_position = 0;
    int m_address = 0;
    int m_countdown = 0;  // collate off: copies left of the current address
    int m_passesLeft = 0; // collate on: passes of the whole list left
    bool m_done = false;
};

// Every label of a job in order (for tests and small lists).
std::vector<LabelPlacement> LabelPlacements(int addresses, int copies, bool collate, int firstLabel, int perSheet);

// Sheets a job prints: 0 without addresses or copies.
int LabelPageCount(int addresses, int copies, int firstLabel, int perSheet);

// The preview's last page index: 0 when copies ≤ 0; otherwise, with
// T = copies × addresses + firstLabel positions, the number of sheets
// needed for T positions minus one (0 when T fits one sheet).
int LastLabelPageIndex(int copies, int addresses, int firstLabel, int perSheet);

// Label index of a sheet position as the user counts it (1 = top left)
// and back; false when `oneBased` lies outside 1 … perSheet.
bool LabelIndexFromUserNumber(int oneBased, int perSheet, int &index);
