#include "ids.h"

IdAllocator::IdAllocator(CDatabase &db) : m_ids(&db)
{
    // Two desks saving at once must never take the same identifiers: the
    // counters row stays locked until the saving transaction ends.
    m_ids.SetLockRows(true);
    m_ids.Open(QStringLiteral("SELECT * FROM IDS"));
    m_ids.MoveFirst(); // an empty IDS table fails here, as a database error
    m_ids.Edit();
}

std::int32_t IdAllocator::Next(IdCounter counter)
{
    std::int32_t *value = nullptr;
    switch (counter) {
    case IdCounter::Address: value = &m_ids.m_ID_ADDRESS_FF; break;
    case IdCounter::Email: value = &m_ids.m_ID_EMAIL_FF; break;
    case IdCounter::Tel: value = &m_ids.m_ID_TEL_FF; break;
    case IdCounter::Envsize: value = &m_ids.m_ID_ENVSIZE_FF; break;
    case IdCounter::Envstyle: value = &m_ids.m_ID_ENVSTYLE_FF; break;
    case IdCounter::Labsize: value = &m_ids.m_ID_LABSIZE_FF; break;
    case IdCounter::Labstyle: value = &m_ids.m_ID_LABSTYLE_FF; break;
    case IdCounter::Folder: value = &m_ids.m_ID_FOLDER_FF; break;
    case IdCounter::Kalibrace: value = &m_ids.m_ID_KALIBRACE_FF; break;
    }
    if (*value < 0 || *value == INT32_MAX)
        throw DbException(QStringLiteral("Identifier counter out of range"));
    return (*value)++;
}

void IdAllocator::Finish()
{
    if (m_finished)
        return;
    m_ids.Update();
    m_ids.Close();
    m_finished = true;
}
