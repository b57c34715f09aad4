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
