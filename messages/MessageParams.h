// What the Messages tab computes without the platform: parameter texts and their buffers, the message list
// entries, the result line and the web search address.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// The integer text rule at the width of a window-message parameter: with 32 bits exactly the common rule;
// with 64 bits the same rule with up to sixteen hexadecimal digits and any decimal that fits 64 bits.
bool TryParamNumberFromText(std::string_view text, int pointerBits, int64_t& value);

enum class TParamKind {
    Number,        // a plain number
    ZeroBuffer,    // "*N": N zero bytes
    TextBuffer,    // "@"text"": the text and a zero byte
    IntBuffer,     // "@123": four bytes holding the 32-bit number
    CurrentBuffer, // "@" followed by anything else: the parameter's current buffer
};

// One parameter box's text, read but not yet applied.
struct TParamText {
    TParamKind Kind = TParamKind::Number;
    int64_t Number = 0; // the value of a plain number
    int64_t Size = 0;   // bytes a ZeroBuffer asks for; may be zero or negative (then no buffer)
    std::string Bytes;  // the contents of a TextBuffer or IntBuffer, zero byte included
};

TParamText ParseParamText(std::string_view text, int pointerBits);

// Allocates zeroed memory as calloc does; null when it cannot.
using TZeroAllocator = void* (*)(size_t count, size_t size);

// The two parameter buffers of one message (0 for wParam, 1 for lParam), plain bytes in this process.
class TMessageBuffers {
  public:
    static const int Count = 2;
    explicit TMessageBuffers(TZeroAllocator allocate = nullptr);
    TMessageBuffers(const TMessageBuffers&) = delete;
    TMessageBuffers& operator=(const TMessageBuffers&) = delete;

    // Null and 0 for an index other than 0 and 1, and for a parameter without a buffer.
    void* GetBuffer(int index) const;
    size_t GetBufferSize(int index) const;
    // Resizes the buffer, keeping what fits and zeroing what is new; 0 releases it. When the memory cannot
    // be had the parameter is left without a buffer.
    void SetBufferSize(int index, size_t size);
    // Applies a parameter text to its buffer and returns the parameter value: a number, or the address of
    // the buffer (0 when there is none).
    uintptr_t Apply(int index, const TParamText& text);

  private:
    struct TFree {
        void operator()(void* memory) const;
    };
    TZeroAllocator Allocate;
    std::unique_ptr<void, TFree> Buffers[Count];
    size_t Sizes[Count] = {0, 0};
};

// "%-34s0x%.4x": the name padded to 34 characters and the number as at least four hexadecimal digits.
std::string MessageListEntry(const std::string& name, uint32_t number);
// "SendMessage(0x1A2B,13,256,1234567) = 11": the values are signed decimals of their full width.
std::string MessageResultLine(const char* verb, uint32_t handle, uint32_t message, int64_t wParam,
                              int64_t lParam, int64_t result);
// How a sent message ended.
enum class TSendOutcome {
    Answered,      // the window returned a result (or went, which gives 0)
    TimedOut,      // no answer within the time allowed
    NotResponding, // the window's thread does not handle its messages
    Refused, // the window belongs to a program with higher rights, which takes no messages from this one
    NotSent, // no worker was free to wait for the answer
};
// The line shown while a sent message waits for the window's answer.
std::string MessageWaitingLine(uint32_t handle, uint32_t message, int64_t wParam, int64_t lParam);
// The line shown when a sent message did not come back with a result.
std::string MessageUnansweredLine(uint32_t handle, uint32_t message, int64_t wParam, int64_t lParam,
                                  unsigned timeoutMs, TSendOutcome outcome);
// The web search for a message name; the name goes in as it stands.
std::string MessageSearchUrl(const std::string& name);
