// One message sent or posted by the Messages tab: its target, number, parameters, buffers and result.
#pragma once

#include "messages/MessageParams.h"

#include <windows.h>

#include <cstdint>
#include <string>

class TWindowMessage {
  public:
    // Reads the parameter texts; buffers are made at once.
    TWindowMessage(HWND wnd, UINT msg, const std::string& wParamText, const std::string& lParamText);
    TWindowMessage(const TWindowMessage&) = delete;
    TWindowMessage& operator=(const TWindowMessage&) = delete;

    // How long a send to another thread's window may take before it counts as not returning.
    static const UINT SendTimeoutMs = 5000;

    HWND Wnd;
    UINT Msg;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
    // How the last Send ended; a post always counts as answered.
    TSendOutcome Outcome = TSendOutcome::Answered;
    bool Returned() const { return Outcome == TSendOutcome::Answered; }

    // The platform's timed send (SendMessageTimeoutA), or a stand-in for it.
    using TTimedSend = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM, UINT, UINT, PDWORD_PTR);

    // A window of this thread gets the message directly. Any other window gets it through the timed send,
    // which gives up at once on a hung window and answers messages sent to this thread meanwhile.
    void Send(UINT timeoutMs = SendTimeoutMs, TTimedSend timedSend = SendMessageTimeoutA);
    void Post();
    void* GetBuffer(int index) const { return Buffers.GetBuffer(index); }
    size_t GetBufferSize(int index) const { return Buffers.GetBufferSize(index); }
    void SetBufferSize(int index, size_t size) { Buffers.SetBufferSize(index, size); }
    // Whether a receiver in this process may still hold the buffers: a send to another thread of this
    // process that did not come back.
    bool MayStillBeRead() const { return !Returned() && ownProcessTarget; }

    static int PointerBits() { return static_cast<int>(sizeof(void*) * 8); }

  private:
    TMessageBuffers Buffers;
    bool ownProcessTarget = false;
};

// How many bytes from an address on this process can read, up to a bound, asking the memory manager
// rather than touching the memory.
size_t ReadableBytesAt(uintptr_t address, size_t bound);
