#include "commands.h"

#include <map>

namespace {
std::map<int, CommandHandler> &handlers()
{
    static std::map<int, CommandHandler> h;
    return h;
}
} // namespace

void RegisterCommand(int id, CommandHandler handler)
{
    handlers()[id] = std::move(handler);
}

const CommandHandler *FindCommand(int id)
{
    auto it = handlers().find(id);
    return it == handlers().end() ? nullptr : &it->second;
}

namespace {
std::function<std::optional<AddressEntry>()> &provider()
{
    static std::function<std::optional<AddressEntry>()> p;
    return p;
}
} // namespace

void SetAddressToPrintProvider(std::function<std::optional<AddressEntry>()> p)
{
    provider() = std::move(p);
}

std::optional<AddressEntry> AddressToPrint()
{
    return provider() ? provider()() : std::nullopt;
}

namespace {
std::map<QString, PrintListRunner> &runners()
{
    static std::map<QString, PrintListRunner> r;
    return r;
}
} // namespace

void RegisterPrintListRunner(const QString &kind, PrintListRunner runner)
{
    runners()[kind] = std::move(runner);
}

bool HasPrintListRunner(const QString &kind)
{
    auto it = runners().find(kind);
    return it != runners().end() && it->second;
}

bool RunPrintList(const QString &kind, QWidget *parent, const std::vector<AddressEntry> &list, bool preview)
{
    auto it = runners().find(kind);
    if (it == runners().end() || !it->second)
        return false;
    it->second(parent, list, preview);
    return true;
}
