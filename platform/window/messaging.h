// Sending, posting and retrieving messages: the primitives behind
// SendMessageW, PostMessageW, GetMessageW and PeekMessageW, for the rest of
// the window system (the dialog manager's modal loops among them).
//
// A send to a window of the calling thread calls its procedure at once. A send
// to another thread's window queues the message for that thread and waits:
// meanwhile the sender runs messages sent to itself, so two threads sending to
// each other cannot deadlock. The wait ends with the receiver's result, or with
// 0 when the receiver's thread has ended (or ends before it replies).
//
// Notifications of the window system itself (activation, focus, size and move,
// setting changes) reach another thread's window as queued sends that nobody
// waits for, so a window-management call never blocks on another thread.
#pragma once

#include <windows.h>

#include <optional>

#include "message_queue.h"

namespace platform::window {

// Calls the window's procedure on the calling thread. 0 for a window that is
// gone. Thread: the window's own.
LRESULT callWindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// SendMessageW without setting the last error on success. Thread: any.
LRESULT sendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Sends on the window's own thread, or queues a notification for another
// thread's window (with a copy of the WINDOWPOS when given). Thread: any.
void notifyWindow(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                  std::optional<WINDOWPOS> windowPos = std::nullopt);

// A message stamped with the device time and the pointer position, as queues hold them.
MSG makeMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Appends a posted message to the queue of the window's thread (or of the
// calling thread for a null window). False for a window that is gone.
bool postToWindow(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Adds to a queue's input messages, with the key state after the event.
void postInput(ThreadQueue& queue, const MSG& msg, std::shared_ptr<const KeyStateArray> keyState);
// Puts WM_HOTKEY ahead of the queue's other posted messages (behind earlier hotkeys).
void postHotkey(ThreadQueue& queue, HWND hwnd, WPARAM id, LPARAM modifiersAndKey);

// Runs every message other threads have sent to the calling thread.
void processSentMessages();

// Takes the next message that the filter allows. With block, waits until there
// is one (a wait point: an ending thread leaves here). Without block, returns
// false when there is none. PM_REMOVE takes it off the queue (WM_PAINT stays
// until the window is validated). Thread: the queue's own.
bool nextMessage(MSG& msg, const MessageFilter& filter, UINT removeFlags, bool block);

// Drops every queued message and timer of a window that is being destroyed.
void purgeWindowMessages(ThreadQueue& queue, HWND hwnd);

}  // namespace platform::window
