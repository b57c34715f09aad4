#include "commandtable.h"

#include <QHash>

namespace {
QString t(const char *s) { return QString::fromUtf8(s); }
} // namespace

const std::vector<CommandInfo> &CommandTable()
{
    static const std::vector<CommandInfo> table = {
        // File
        {ID_BACKUP, t("&File"), t("&Backup..."), {}, 0},
        {ID_RESTORE, t("&File"), t("&Restore..."), {}, 0},
        {ID_EXPORT_EXCEL, t("&File"), t("&Export to Excel..."), {}, 0},
        {ID_IMPORT_EXCEL, t("&File"), t("&Import from Excel..."), {}, 0},
        {ID_IMPORT_CONTACTS, t("&File"), t("Import &contacts (vCard, CSV)..."), {}, 0},
        {ID_EXPORT_CONTACTS, t("&File"), t("Export c&ontacts (vCard, CSV)..."), {}, 0},
        {ID_APP_EXIT_MENU, t("&File"), t("E&xit"), {}, 0},
        // Edit
        {ID_EDIT_UNDO, t("&Edit"), t("&Undo"), t("Ctrl+Z"), 0},
        {ID_EDIT_CUT, t("&Edit"), t("Cu&t"), t("Ctrl+X"), 0},
        {ID_EDIT_COPY, t("&Edit"), t("&Copy"), t("Ctrl+C"), 0},
        {ID_EDIT_PASTE, t("&Edit"), t("&Paste"), t("Ctrl+V"), 0},
        {ID_EDIT_DELETE, t("&Edit"), t("&Detele"), {}, 0},
        {ID_EDIT_SELECT_ALL, t("&Edit"), t("Select &all"), t("Ctrl+A"), 0},
        // Address
        {ID_PAGE_VIEW, t("&Address"), t("&View"), {}, 0},
        {ID_PAGE_NEW, t("&Address"), t("&New"), {}, 0},
        {ID_PAGE_EDIT, t("&Address"), t("&Edit"), {}, 0},
        {ID_PAGE_QUICK, t("&Address"), t("&Fast print"), {}, 0},
        {ID_ADDRESS_DELETE, t("&Address"), t("&Delete"), {}, 0},
        {ID_ADDRESS_COPY, t("&Address"), t("&Copy"), {}, 0},
        {ID_ADDRESS_MOVE, t("&Address"), t("&Move"), {}, 0},
        {ID_MASS_MOVE, t("&Address"), t("M&ass move..."), {}, 0},
        {ID_SEARCH, t("&Address"), t("&Search..."), t("Ctrl+F"), 0},
        {ID_REPORT, t("&Address"), t("&Report..."), {}, 0},
        // Folder
        {ID_FOLDER_NEW, t("F&older"), t("&New..."), {}, 0},
        {ID_FOLDER_RENAME, t("F&older"), t("&Rename..."), {}, 0},
        {ID_FOLDER_DELETE, t("F&older"), t("&Delete..."), {}, 0},
        {ID_FOLDER_MOVE, t("F&older"), t("&Move..."), {}, 0},
        // Print
        {ID_PRINT_ONE_ENVELOPE, t("&Print/Print &one address"), t("&Envelope"), t("Ctrl+O"), 0},
        {ID_PRINT_ONE_LABEL, t("&Print/Print &one address"), t("&Label"), t("Ctrl+S"), 0},
        {ID_PREVIEW_ONE_ENVELOPE, t("&Print/Pre&view one address"), t("&Envelope"), {}, 0},
        {ID_PREVIEW_ONE_LABEL, t("&Print/Pre&view one address"), t("&Label"), {}, 0},
        {ID_MASS_PRINT_ENVELOPE, t("&Print/&Mass print"), t("&Envelope"), {}, 0},
        {ID_MASS_PRINT_LABEL, t("&Print/&Mass print"), t("&Label"), {}, 0},
        {ID_MASS_PREVIEW_ENVELOPE, t("&Print/Mass p&review"), t("&Envelope"), {}, 0},
        {ID_MASS_PREVIEW_LABEL, t("&Print/Mass p&review"), t("&Label"), {}, 0},
        // Settings
        {ID_FILE_PRINT_SETUP, t("&Settings"), t("&Printer setup..."), {}, 0},
        {ID_CALIBRATION_NEW, t("&Settings/Printer &calibration"), t("&New..."), {}, 0},
        {ID_CALIBRATION_DELETE, t("&Settings/Printer &calibration"), t("&Delete..."), {}, 0},
        {ID_ENVSIZE_NEW, t("&Settings/&Envelope dimensions"), t("&New..."), {}, 0},
        {ID_ENVSIZE_EDIT, t("&Settings/&Envelope dimensions"), t("&Edit..."), {}, 0},
        {ID_ENVSIZE_DELETE, t("&Settings/&Envelope dimensions"), t("&Delete..."), {}, 0},
        {ID_LABSIZE_NEW, t("&Settings/&Label dimensions"), t("&New..."), {}, 0},
        {ID_LABSIZE_FROM_PRODUCT, t("&Settings/&Label dimensions"), t("New from &product..."), {}, 0},
        {ID_LABSIZE_EDIT, t("&Settings/&Label dimensions"), t("&Edit..."), {}, 0},
        {ID_LABSIZE_DELETE, t("&Settings/&Label dimensions"), t("&Delete..."), {}, 0},
        {ID_ENVSTYLE_NEW, t("&Settings/E&nvelope styles"), t("&New..."), {}, 0},
        {ID_ENVSTYLE_EDIT, t("&Settings/E&nvelope styles"), t("&Edit..."), {}, 0},
        {ID_ENVSTYLE_DELETE, t("&Settings/E&nvelope styles"), t("&Delete..."), {}, 0},
        {ID_LABSTYLE_NEW, t("&Settings/La&bel styles"), t("&New..."), {}, 0},
        {ID_LABSTYLE_EDIT, t("&Settings/La&bel styles"), t("&Edit..."), {}, 0},
        {ID_LABSTYLE_DELETE, t("&Settings/La&bel styles"), t("&Delete..."), {}, 0},
        // View
        {ID_VIEW_MENUBAR, t("&View"), t("&Menu"), t("Ctrl+M"), 0},
        {ID_VIEW_TOOLBAR, t("&View"), t("&Toolbar"), {}, 0},
        {ID_VIEW_STATUSBAR, t("&View"), t("&Status bar"), {}, 0},
        {ID_VIEW_TREE, t("&View"), t("&Address tree"), {}, 0},
        {ID_VIEW_LIST, t("&View"), t("Address &list"), {}, 0},
        // Help
        {ID_HELP_CONTENTS, t("&Help"), t("&Contents..."), {}, 0},
        {ID_HELP_INDEX, t("&Help"), t("&Index..."), {}, 0},
        {ID_GAME_BLOCKS, t("&Help/&Games"), t("&Tetris..."), {}, 0},
        {ID_GAME_SNAKE, t("&Help/&Games"), t("&Snake..."), {}, 0},
        {ID_APP_ABOUT, t("&Help"), t("&About Corvelle..."), {}, 0},
        // Toolbar twins
        {ID_TB_CUT, {}, t("Cut"), {}, ID_EDIT_CUT},
        {ID_TB_COPY, {}, t("Copy"), {}, ID_EDIT_COPY},
        {ID_TB_PASTE, {}, t("Paste"), {}, ID_EDIT_PASTE},
        {ID_TB_UNDO, {}, t("Undo"), {}, ID_EDIT_UNDO},
        {ID_TB_SEARCH, {}, t("Find address"), {}, ID_SEARCH},
        {ID_TB_REPORT, {}, t("Report"), {}, ID_REPORT},
        {ID_TB_FOLDER_NEW, {}, t("New folder"), {}, ID_FOLDER_NEW},
        {ID_TB_FOLDER_MOVE, {}, t("Move folder"), {}, ID_FOLDER_MOVE},
        {ID_TB_FOLDER_DELETE, {}, t("Delete folder"), {}, ID_FOLDER_DELETE},
        {ID_TB_ADDRESS_COPY, {}, t("Copy address"), {}, ID_ADDRESS_COPY},
        {ID_TB_MASS_MOVE, {}, t("Move address"), {}, ID_MASS_MOVE},
        {ID_TB_ADDRESS_DELETE, {}, t("Delete address"), {}, ID_ADDRESS_DELETE},
        {ID_TB_PRINT_ONE_ENVELOPE, {}, t("Print envelope"), {}, ID_PRINT_ONE_ENVELOPE},
        {ID_TB_MASS_PRINT_ENVELOPE, {}, t("Mass print envelopes"), {}, ID_MASS_PRINT_ENVELOPE},
        {ID_TB_PRINT_ONE_LABEL, {}, t("Print label"), {}, ID_PRINT_ONE_LABEL},
        {ID_TB_MASS_PRINT_LABEL, {}, t("Mass print labels"), {}, ID_MASS_PRINT_LABEL},
        {ID_TB_PREVIEW_ONE_ENVELOPE, {}, t("Preview envelope"), {}, ID_PREVIEW_ONE_ENVELOPE},
        {ID_TB_MASS_PREVIEW_ENVELOPE, {}, t("Mass preview envelopes"), {}, ID_MASS_PREVIEW_ENVELOPE},
        {ID_TB_PREVIEW_ONE_LABEL, {}, t("Preview label"), {}, ID_PREVIEW_ONE_LABEL},
        {ID_TB_MASS_PREVIEW_LABEL, {}, t("Mass preview labels"), {}, ID_MASS_PREVIEW_LABEL},
        {ID_TB_HELP, {}, t("Help"), {}, ID_HELP_CONTENTS},
        {ID_TB_EXIT, {}, t("Exit"), {}, ID_APP_EXIT_MENU},
    };
    return table;
}

const CommandInfo *FindCommandInfo(int id)
{
    static const QHash<int, const CommandInfo *> index = [] {
        QHash<int, const CommandInfo *> h;
        for (const CommandInfo &c : CommandTable())
            h.insert(c.id, &c);
        return h;
    }();
    return index.value(id, nullptr);
}

int CanonicalCommand(int id)
{
    const CommandInfo *c = FindCommandInfo(id);
    return (c && c->twinOf) ? c->twinOf : id;
}

const std::vector<int> &ToolbarLayout()
{
    static const std::vector<int> layout = {32835, 32836, 32837, 32838, 0,     32843, 32844, 0,     32851, 32852,
                                            32853, 0,     32856, 32854, 32855, 0,     32818, 32819, 32840, 32841,
                                            0,     32845, 32846, 32847, 32848, 0,     32849, 32850};
    return layout;
}
