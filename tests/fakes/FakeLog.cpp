// The call log, failures on request and the fake's state as a whole.
#include "FakeState.h"

#include <cinttypes>
#include <cstdio>

namespace fake {
namespace detail {

State& state()
{
    static State instance;
    return instance;
}

} // namespace detail

using detail::state;

std::string Call::text() const
{
    std::string result = name + "(";
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (i > 0)
            result += ", ";
        result += args[i];
    }
    return result + ")";
}

const std::vector<Call>& calls()
{
    return state().calls;
}

std::vector<std::string> texts(std::size_t from)
{
    std::vector<std::string> result;
    for (std::size_t i = from; i < state().calls.size(); ++i)
        result.push_back(state().calls[i].text());
    return result;
}

std::vector<std::string> names(std::size_t from)
{
    std::vector<std::string> result;
    for (std::size_t i = from; i < state().calls.size(); ++i)
        result.push_back(state().calls[i].name);
    return result;
}

std::size_t count(const std::string& name)
{
    std::size_t result = 0;
    for (const Call& call : state().calls)
        result += call.name == name;
    return result;
}

static bool takeFailure(const char* name)
{
    std::map<std::string, detail::Failure>& failures = state().failures;
    if (failures.empty())
        return false;
    auto found = failures.find(name);
    if (found == failures.end())
        return false;
    if (found->second.spared > 0) {
        --found->second.spared;
        return false;
    }
    if (found->second.times > 0 && --found->second.times == 0)
        failures.erase(found);
    return true;
}

bool record(const char* name, std::vector<std::string> args)
{
    const bool failed = takeFailure(name);
    state().calls.push_back(Call{name, std::move(args), failed});
    return failed;
}

void fail(const std::string& name, int times, int spared)
{
    if (times == 0)
        return;
    state().failures[name] = {times < 0 ? -1 : times, spared};
}

void reset()
{
    state() = detail::State();
}

std::string integer(long long value)
{
    return std::to_string(value);
}

std::string hex(unsigned long long value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "0x%llx", value);
    return buffer;
}

std::string real(float value)
{
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(value));
    return buffer;
}

std::string real(double value)
{
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    return buffer;
}

std::string text(const char* value)
{
    return value == nullptr ? "NULL" : value;
}

static std::string numbered(const char* kind, uintptr_t number)
{
    return kind + std::to_string(number);
}

std::string handle(const void* value)
{
    using namespace detail;
    const uintptr_t bits = reinterpret_cast<uintptr_t>(value);
    if (bits == 0)
        return "NULL";
    if (bits < 0x10000)
        return "#" + std::to_string(bits);
    if (bits > windowBase && bits < windowBase + handleRange)
        return numbered("hwnd", bits - windowBase);
    if (bits > deviceContextBase && bits < deviceContextBase + handleRange)
        return numbered("hdc", bits - deviceContextBase);
    if (bits > glContextBase && bits < glContextBase + handleRange)
        return numbered("hglrc", bits - glContextBase);
    if (bits == instanceValue)
        return "instance";
    if (bits == iconValue)
        return "icon";
    if (bits == cursorValue)
        return "cursor";
    return hex(bits);
}

} // namespace fake
