#pragma once
// The record sets of the twelve tables. Members are named after their
// columns and bound in the tables' column order.
#include "recordset.h"

#include <array>

class CSetAddress : public CRecordset {
public:
    using CRecordset::CRecordset;
    std::int32_t m_ID_ADDRESS_FOLDER = 0;
    std::int32_t m_ID_ADDRESS_ADDRESS = 0;
    QString m_NAME, m_STREET, m_TOWN, m_ZIP, m_COUNTRY, m_NOTE;
    QString GetDefaultSQL() const override { return QStringLiteral("[ADDRESS]"); }
    void DoFieldExchange(CFieldExchange &fx) override;
};

class CSetTel : public CRecordset {
public:
    using CRecordset::CRecordset;
    std::int32_t m_ID_TEL_TEL = 0;
    std::int32_t m_ID_TEL_ADDRESS = 0;
    QString m_PHONE, m_NOTE;
    QString GetDefaultSQL() const override { return QStringLiteral("[TEL]"); }
    void DoFieldExchange(CFieldExchange &fx) override;
};

class CSetEmail : public CRecordset {
public:
    using CRecordset::CRecordset;
    std::int32_t m_ID_EMAIL_EMAIL = 0;
    std::int32_t m_ID_EMAIL_ADDRESS = 0;
    QString m_EMAIL, m_NOTE;
    QString GetDefaultSQL() const override { return QStringLiteral("[EMAIL]"); }
    void DoFieldExchange(CFieldExchange &fx) override;
};

class CSetFolder : public CRecordset {
public:
    using CRecordset::CRecordset;
    std::int32_t m_ID_FOLDER_FOLDER = 0;
    std::int32_t m_ID_PARENT = 0;
    QString m_NAME;
    QString GetDefaultSQL() const override { return QStringLiteral("[FOLDER]"); }
    void DoFieldExchange(CFieldExchange &fx) override;
};

class CSetIDS : public CRecordset {
public:
    using CRecordset::CRecordset;
    std::int32_t m_ID_ADDRESS_FF = 0, m_ID_EMAIL_FF = 0, m_ID_TEL_FF = 0, m_ID_ENVSIZE_FF = 0,
                 m_ID_ENVSTYLE_FF = 0, m_ID_LABSIZE_FF = 0, m_ID_LABSTYLE_FF = 0, m_ID_FOLDER_FF = 0,
                 m_ID_KALIBRACE_FF = 0;
    QString GetDefaultSQL() const override { return QStringLiteral("[IDS]"); }
    void DoFieldExchange(CFieldExchange &fx) override;
};

class CSetEnvsize : public CRecordset {
public:
    using CRecordset::CRecordset;
    std::int32_t m_ID_ENVSIZE_ENVSIZE = 0;
    QString m_NAME;
    double m_A = 0, m_B = 0, m_C = 0, m_D = 0, m_E = 0, m_F = 0, m_G = 0, m_H = 0, m_K = 0, m_L = 0;
    QString GetDefaultSQL() const override { return QStringLiteral("[ENVSIZE]"); }
    void DoFieldExchange(CFieldExchange &fx) override;
};

class CSetLabsize : public CRecordset {
public:
    using CRecordset::CRecordset;
    std::int32_t m_ID_LABSIZE_LABSIZE = 0;
    QString m_NAME;
    double m_A = 0, m_B = 0, m_C = 0, m_D = 0, m_E = 0, m_F = 0;
    std::int32_t m_M = 0, m_N = 0;
    double m_PAPERW = 0, m_PAPERH = 0; // the sheet's paper, portrait as held, mm
    QString GetDefaultSQL() const override { return QStringLiteral("[LABSIZE]"); }
    void DoFieldExchange(CFieldExchange &fx) override;
};

// Lines of a style, in the order of their font columns.
enum StyleLine { LINE_NAME = 0, LINE_STREET, LINE_TOWN, LINE_ZIP, LINE_COUNTRY, LINE_RETURN };

class CSetEnvstyle : public CRecordset {
public:
    using CRecordset::CRecordset;
    std::int32_t m_ID_ENVSTYLE_ENVSTYLE = 0;
    QString m_ENVSTYLE_NAME;
    std::uint8_t m_HORIZONTAL = 0, m_VERTICAL = 0, m_RETURN = 0;
    bool m_PRINT_FRAME = false, m_JOIN_ZIP = false;
    QString m_RETURN_ADDRESS;
    QByteArray m_LOGO;
    double m_OFFSET = 0;
    bool m_FRAME_RETURN = false;
    double m_OFFSET_RETURN = 0;
    std::array<FontSpec, 6> m_fonts; // NAME, STREET, TOWN, ZIP, COUNTRY, RETURN
    QString GetDefaultSQL() const override { return QStringLiteral("[ENVSTYLE]"); }
    void DoFieldExchange(CFieldExchange &fx) override;
};

class CSetLabstyle : public CRecordset {
public:
    using CRecordset::CRecordset;
    std::int32_t m_ID_LABSTYLE_LABSTYLE = 0;
    QString m_LABSTYLE_NAME;
    double m_OFFSET_FRAME = 0, m_OFFSET_ADDRESSX = 0, m_OFFSET_ADDRESSY = 0;
    std::uint8_t m_HORIZONTAL = 0, m_VERTICAL = 0;
    bool m_PRINT_FRAME = false, m_JOIN_ZIP = false;
    std::array<FontSpec, 5> m_fonts; // NAME, STREET, TOWN, ZIP, COUNTRY
    QString GetDefaultSQL() const override { return QStringLiteral("[LABSTYLE]"); }
    void DoFieldExchange(CFieldExchange &fx) override;
};

class CSetKalibrace : public CRecordset {
public:
    using CRecordset::CRecordset;
    std::int32_t m_ID_KALIBRACE_KALIBRACE = 0;
    std::int32_t m_ID_ENVSIZE = 0;
    std::int32_t m_ID_LABSIZE = 0;
    double m_X = 0, m_Y = 0;
    bool m_DEFAULT = false, m_LANDSCAPE = false;
    QString GetDefaultSQL() const override { return QStringLiteral("[KALIBRACE]"); }
    void DoFieldExchange(CFieldExchange &fx) override;
};

class CSetEnvpair : public CRecordset {
public:
    using CRecordset::CRecordset;
    std::int32_t m_ID_ENVPAIR_ENVSIZE = 0;
    std::int32_t m_ID_ENVPAIR_ENVSTYLE = 0;
    QString GetDefaultSQL() const override { return QStringLiteral("[ENVPAIR]"); }
    void DoFieldExchange(CFieldExchange &fx) override;
};

class CSetLabpair : public CRecordset {
public:
    using CRecordset::CRecordset;
    std::int32_t m_ID_LABPAIR_LABSIZE = 0;
    std::int32_t m_ID_LABPAIR_LABSTYLE = 0;
    QString GetDefaultSQL() const override { return QStringLiteral("[LABPAIR]"); }
    void DoFieldExchange(CFieldExchange &fx) override;
};

// The twelve tables with their columns in binding order.
const std::vector<TableDescription> &AllTables();
