// Parameter texts, buffers and the texts of the Messages tab.
#include "messages/MessageParams.h"

#include "app/QrLib.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

const char* const SearchAddress = "https://www.google.com/search?hl=en&q=";
const char* const SearchLucky = "&btnI=I%27m+Feeling+Lucky";

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool ReadWideNumber(std::string_view text, int64_t& value) {
    size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) return false;
    text.remove_prefix(start);
    size_t prefix = 0;
    if (!text.empty() && (text[0] == '$' || text[0] == 'x' || text[0] == 'X'))
        prefix = 1;
    else if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        prefix = 2;
    if (prefix) {
        std::string_view digits = text.substr(prefix);
        if (digits.empty() || digits.size() > 16) return false;
        uint64_t result = 0;
        for (char c : digits) {
            int d = HexDigit(c);
            if (d < 0) return false;
            result = (result << 4) | static_cast<uint64_t>(d);
        }
        value = static_cast<int64_t>(result);
        return true;
    }
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return false;
    // Accumulated as a magnitude so that the most negative value needs no overflow.
    const uint64_t limit = negative ? 9223372036854775808ULL : 9223372036854775807ULL;
    uint64_t result = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        unsigned d = static_cast<unsigned>(c - '0');
        if (result > (limit - d) / 10) return false;
        result = result * 10 + d;
    }
    value = negative ? static_cast<int64_t>(0 - result) : static_cast<int64_t>(result);
    return true;
}

std::string SendCallText(uint32_t handle, uint32_t message, int64_t wParam, int64_t lParam) {
    return FormatText("SendMessage(0x%x,%d,%lld,%lld)", handle, static_cast<int32_t>(message),
                      static_cast<long long>(wParam), static_cast<long long>(lParam));
}

} // namespace

bool TryParamNumberFromText(std::string_view text, int pointerBits, int64_t& value) {
    if (pointerBits > 32) return ReadWideNumber(text, value);
    int32_t narrow = 0;
    if (!TryIntFromText(text, narrow)) return false;
    value = narrow;
    return true;
}

TParamText ParseParamText(std::string_view text, int pointerBits) {
    TParamText result;
    if (text.empty()) return result;
    if (text[0] == '*') {
        result.Kind = TParamKind::ZeroBuffer;
        result.Size = IntFromText(text.substr(1), 0);
        return result;
    }
    if (text[0] == '@') {
        std::string_view rest = text.substr(1);
        if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"') {
            result.Kind = TParamKind::TextBuffer;
            result.Bytes.assign(rest.substr(1, rest.size() - 2));
            result.Bytes.push_back('\0');
            return result;
        }
        if (!rest.empty() && rest[0] >= '0' && rest[0] <= '9') {
            result.Kind = TParamKind::IntBuffer;
            int32_t number = IntFromText(rest, 0);
            result.Bytes.assign(sizeof number, '\0');
            std::memcpy(&result.Bytes[0], &number, sizeof number);
            return result;
        }
        result.Kind = TParamKind::CurrentBuffer;
        return result;
    }
    int64_t number = 0;
    if (TryParamNumberFromText(text, pointerBits, number)) result.Number = number;
    return result;
}

void TMessageBuffers::TFree::operator()(void* memory) const {
    std::free(memory);
}

TMessageBuffers::TMessageBuffers(TZeroAllocator allocate) : Allocate(allocate ? allocate : std::calloc) {}

void* TMessageBuffers::GetBuffer(int index) const {
    return index >= 0 && index < Count ? Buffers[index].get() : nullptr;
}

size_t TMessageBuffers::GetBufferSize(int index) const {
    return index >= 0 && index < Count ? Sizes[index] : 0;
}

void TMessageBuffers::SetBufferSize(int index, size_t size) {
    if (index < 0 || index >= Count || size == Sizes[index]) return;
    std::unique_ptr<void, TFree> resized(size ? Allocate(size, 1) : nullptr);
    if (resized && Buffers[index])
        std::memcpy(resized.get(), Buffers[index].get(), std::min(size, Sizes[index]));
    Buffers[index] = std::move(resized);
    Sizes[index] = Buffers[index] ? size : 0;
}

uintptr_t TMessageBuffers::Apply(int index, const TParamText& text) {
    switch (text.Kind) {
    case TParamKind::Number:
        return static_cast<uintptr_t>(text.Number);
    case TParamKind::ZeroBuffer:
        // A negative count, or one that this process cannot address, gives no buffer.
        if (text.Size <= 0 || static_cast<uint64_t>(text.Size) > SIZE_MAX) return 0;
        SetBufferSize(index, 0);
        SetBufferSize(index, static_cast<size_t>(text.Size));
        break;
    case TParamKind::TextBuffer:
    case TParamKind::IntBuffer:
        SetBufferSize(index, 0);
        SetBufferSize(index, text.Bytes.size());
        if (GetBuffer(index)) std::memcpy(GetBuffer(index), text.Bytes.data(), text.Bytes.size());
        break;
    case TParamKind::CurrentBuffer:
        break;
    }
    return reinterpret_cast<uintptr_t>(GetBuffer(index));
}

std::string MessageListEntry(const std::string& name, uint32_t number) {
    return FormatText("%-34s0x%.4x", name.c_str(), number);
}

std::string MessageResultLine(const char* verb, uint32_t handle, uint32_t message, int64_t wParam,
                              int64_t lParam, int64_t result) {
    return FormatText("%sMessage(0x%x,%d,%lld,%lld) = %lld", verb, handle, static_cast<int32_t>(message),
                      static_cast<long long>(wParam), static_cast<long long>(lParam),
                      static_cast<long long>(result));
}

std::string MessageWaitingLine(uint32_t handle, uint32_t message, int64_t wParam, int64_t lParam) {
    return SendCallText(handle, message, wParam, lParam) + " is waiting for the window to answer";
}

std::string MessageUnansweredLine(uint32_t handle, uint32_t message, int64_t wParam, int64_t lParam,
                                  unsigned timeoutMs, TSendOutcome outcome) {
    std::string call = SendCallText(handle, message, wParam, lParam);
    switch (outcome) {
    case TSendOutcome::NotResponding:
        return call + " did not return: the window is not responding";
    case TSendOutcome::Refused:
        return call + " was refused: the window belongs to a program that runs with higher rights";
    case TSendOutcome::NotSent:
        return call + " was not sent: too many calls already wait for windows that do not answer";
    case TSendOutcome::Answered:
    case TSendOutcome::TimedOut:
        break;
    }
    return call + FormatText(" did not return within %u ms", timeoutMs);
}

std::string MessageSearchUrl(const std::string& name) {
    return SearchAddress + name + SearchLucky;
}
