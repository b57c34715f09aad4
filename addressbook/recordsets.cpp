#include "recordsets.h"

void CSetAddress::DoFieldExchange(CFieldExchange &fx)
{
    fx.Long("ID_ADDRESS_FOLDER", m_ID_ADDRESS_FOLDER);
    fx.Long("ID_ADDRESS_ADDRESS", m_ID_ADDRESS_ADDRESS);
    fx.Text("NAME", m_NAME);
    fx.Text("STREET", m_STREET);
    fx.Text("TOWN", m_TOWN);
    fx.Text("ZIP", m_ZIP);
    fx.Text("COUNTRY", m_COUNTRY);
    fx.Text("NOTE", m_NOTE);
}

void CSetTel::DoFieldExchange(CFieldExchange &fx)
{
    fx.Long("ID_TEL_TEL", m_ID_TEL_TEL);
    fx.Long("ID_TEL_ADDRESS", m_ID_TEL_ADDRESS);
    fx.Text("PHONE", m_PHONE);
    fx.Text("NOTE", m_NOTE);
}

void CSetEmail::DoFieldExchange(CFieldExchange &fx)
{
    fx.Long("ID_EMAIL_EMAIL", m_ID_EMAIL_EMAIL);
    fx.Long("ID_EMAIL_ADDRESS", m_ID_EMAIL_ADDRESS);
    fx.Text("EMAIL", m_EMAIL);
    fx.Text("NOTE", m_NOTE);
}

void CSetFolder::DoFieldExchange(CFieldExchange &fx)
{
    fx.Long("ID_FOLDER_FOLDER", m_ID_FOLDER_FOLDER);
    fx.Long("ID_PARENT", m_ID_PARENT);
    fx.Text("NAME", m_NAME);
}

void CSetIDS::DoFieldExchange(CFieldExchange &fx)
{
    fx.Long("ID_ADDRESS_FF", m_ID_ADDRESS_FF);
    fx.Long("ID_EMAIL_FF", m_ID_EMAIL_FF);
    fx.Long("ID_TEL_FF", m_ID_TEL_FF);
    fx.Long("ID_ENVSIZE_FF", m_ID_ENVSIZE_FF);
    fx.Long("ID_ENVSTYLE_FF", m_ID_ENVSTYLE_FF);
    fx.Long("ID_LABSIZE_FF", m_ID_LABSIZE_FF);
    fx.Long("ID_LABSTYLE_FF", m_ID_LABSTYLE_FF);
    fx.Long("ID_FOLDER_FF", m_ID_FOLDER_FF);
    fx.Long("ID_KALIBRACE_FF", m_ID_KALIBRACE_FF);
}

void CSetEnvsize::DoFieldExchange(CFieldExchange &fx)
{
    fx.Long("ID_ENVSIZE_ENVSIZE", m_ID_ENVSIZE_ENVSIZE);
    fx.Text("NAME", m_NAME);
    fx.Double("A", m_A);
    fx.Double("B", m_B);
    fx.Double("C", m_C);
    fx.Double("D", m_D);
    fx.Double("E", m_E);
    fx.Double("F", m_F);
    fx.Double("G", m_G);
    fx.Double("H", m_H);
    fx.Double("K", m_K);
    fx.Double("L", m_L);
}

void CSetLabsize::DoFieldExchange(CFieldExchange &fx)
{
    fx.Long("ID_LABSIZE_LABSIZE", m_ID_LABSIZE_LABSIZE);
    fx.Text("NAME", m_NAME);
    fx.Double("A", m_A);
    fx.Double("B", m_B);
    fx.Double("C", m_C);
    fx.Double("D", m_D);
    fx.Double("E", m_E);
    fx.Double("F", m_F);
    fx.Long("M", m_M);
    fx.Long("N", m_N);
    fx.Double("PAPERW", m_PAPERW);
    fx.Double("PAPERH", m_PAPERH);
}

static const char *const kLineNames[] = {"NAME", "STREET", "TOWN", "ZIP", "COUNTRY", "RETURN"};

void CSetEnvstyle::DoFieldExchange(CFieldExchange &fx)
{
    fx.Long("ID_ENVSTYLE_ENVSTYLE", m_ID_ENVSTYLE_ENVSTYLE);
    fx.Text("ENVSTYLE_NAME", m_ENVSTYLE_NAME);
    fx.Byte("HORIZONTAL", m_HORIZONTAL);
    fx.Byte("VERTICAL", m_VERTICAL);
    fx.Byte("RETURN", m_RETURN);
    fx.Bool("PRINT_FRAME", m_PRINT_FRAME);
    fx.Bool("JOIN_ZIP", m_JOIN_ZIP);
    fx.Text("RETURN_ADDRESS", m_RETURN_ADDRESS);
    fx.Binary("LOGO", m_LOGO);
    fx.Double("OFFSET", m_OFFSET);
    fx.Bool("FRAME_RETURN", m_FRAME_RETURN);
    fx.Double("OFFSET_RETURN", m_OFFSET_RETURN);
    for (std::size_t i = 0; i < m_fonts.size(); ++i)
        fx.Font(kLineNames[i], m_fonts[i]);
}

void CSetLabstyle::DoFieldExchange(CFieldExchange &fx)
{
    fx.Long("ID_LABSTYLE_LABSTYLE", m_ID_LABSTYLE_LABSTYLE);
    fx.Text("LABSTYLE_NAME", m_LABSTYLE_NAME);
    fx.Double("OFFSET_FRAME", m_OFFSET_FRAME);
    fx.Double("OFFSET_ADDRESSX", m_OFFSET_ADDRESSX);
    fx.Double("OFFSET_ADDRESSY", m_OFFSET_ADDRESSY);
    fx.Byte("HORIZONTAL", m_HORIZONTAL);
    fx.Byte("VERTICAL", m_VERTICAL);
    fx.Bool("PRINT_FRAME", m_PRINT_FRAME);
    fx.Bool("JOIN_ZIP", m_JOIN_ZIP);
    for (std::size_t i = 0; i < m_fonts.size(); ++i)
        fx.Font(kLineNames[i], m_fonts[i]);
}

void CSetKalibrace::DoFieldExchange(CFieldExchange &fx)
{
    fx.Long("ID_KALIBRACE_KALIBRACE", m_ID_KALIBRACE_KALIBRACE);
    fx.Long("ID_ENVSIZE", m_ID_ENVSIZE);
    fx.Long("ID_LABSIZE", m_ID_LABSIZE);
    fx.Double("X", m_X);
    fx.Double("Y", m_Y);
    fx.Bool("DEFAULT", m_DEFAULT);
    fx.Bool("LANDSCAPE", m_LANDSCAPE);
}

void CSetEnvpair::DoFieldExchange(CFieldExchange &fx)
{
    fx.Long("ID_ENVPAIR_ENVSIZE", m_ID_ENVPAIR_ENVSIZE);
    fx.Long("ID_ENVPAIR_ENVSTYLE", m_ID_ENVPAIR_ENVSTYLE);
}

void CSetLabpair::DoFieldExchange(CFieldExchange &fx)
{
    fx.Long("ID_LABPAIR_LABSIZE", m_ID_LABPAIR_LABSIZE);
    fx.Long("ID_LABPAIR_LABSTYLE", m_ID_LABPAIR_LABSTYLE);
}

const std::vector<TableDescription> &AllTables()
{
    static const std::vector<TableDescription> tables = [] {
        std::vector<TableDescription> t;
        CSetAddress a(nullptr);
        CSetTel tel(nullptr);
        CSetEmail e(nullptr);
        CSetFolder f(nullptr);
        CSetIDS ids(nullptr);
        CSetEnvsize es(nullptr);
        CSetLabsize ls(nullptr);
        CSetEnvstyle est(nullptr);
        CSetLabstyle lst(nullptr);
        CSetKalibrace k(nullptr);
        CSetEnvpair ep(nullptr);
        CSetLabpair lp(nullptr);
        for (CRecordset *set : std::initializer_list<CRecordset *>{&a, &tel, &e, &f, &ids, &es, &ls, &est, &lst, &k, &ep, &lp})
            t.push_back(set->Describe());
        return t;
    }();
    return tables;
}
