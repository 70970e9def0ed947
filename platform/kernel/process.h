// A device process: its threads, its handles (in the handle table, by owner),
// its modules, and how it ends.
//
// A process ends when its main thread returns or calls ExitProcess, when it is
// terminated, or when its last thread ends. Ending asks every thread to leave at
// its next wait point; once all have left, the reaper joins the host threads,
// runs the exit hooks (the window system drops the process's windows and
// hotkeys), closes every handle the process owned, unloads its modules in the
// reverse order of loading, and only then signals the process object.
#pragma once

#include <winbase.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "scheduler.h"

namespace platform::kernel {

class Thread;

class Process final : public Waitable {
public:
    Process(DWORD id, std::u16string imagePath, std::u16string commandLine);

    std::string_view kindName() const override { return "process"; }
    bool signaledFor(const Thread&) const override { return ended_; }

    DWORD id() const { return id_; }
    const std::u16string& name() const { return name_; }
    const std::u16string& imagePath() const { return imagePath_; }
    const std::u16string& commandLine() const { return commandLine_; }

    // Kernel lock held for these.
    bool ended() const { return ended_; }
    bool ending() const { return ending_; }
    DWORD exitCode() const { return ended_ || ending_ ? exitCode_ : STILL_ACTIVE; }
    size_t liveThreadCount() const { return liveThreads_; }

    // Starts ending the process with the code (the first code given wins).
    void beginExit(DWORD exitCode);  // kernel lock held

    // Modules loaded into the process, in load order; the reaper drops them in
    // reverse order once every thread has left. The first is the program.
    void addModule(std::shared_ptr<KernelObject> module);  // kernel lock held
    void removeModule(const KernelObject* module);          // kernel lock held
    std::vector<std::shared_ptr<KernelObject>> modules() const;  // kernel lock held
    std::shared_ptr<KernelObject> mainModule() const;             // kernel lock held

private:
    friend class Thread;
    friend void runThread(std::shared_ptr<Thread>, std::function<DWORD()>);
    friend std::shared_ptr<Thread> createThreadObject(const std::shared_ptr<Process>&);
    friend void threadLeft(Thread&);
    friend class ProcessTable;

    const DWORD id_;
    const std::u16string imagePath_;
    const std::u16string name_;
    const std::u16string commandLine_;
    std::vector<std::shared_ptr<Thread>> threads_;
    std::vector<std::shared_ptr<KernelObject>> modules_;
    size_t liveThreads_ = 0;
    bool ending_ = false;
    bool ended_ = false;
    DWORD exitCode_ = STILL_ACTIVE;
};

// Creates a device process object (not yet started) in the process table.
std::shared_ptr<Process> createProcessObject(std::u16string imagePath, std::u16string commandLine);

// Creates a thread object in the process (kernel lock not held); the caller
// starts its host thread with runThread.
std::shared_ptr<Thread> createThreadObject(const std::shared_ptr<Process>& process);

std::shared_ptr<Process> currentProcessPtr();
Process& hostProcess();
std::shared_ptr<Process> hostProcessPtr();
std::shared_ptr<Process> findProcessObject(DWORD id);

// Called by the window system (and others holding per-process state) when a
// process's threads have all left, before its handles are closed.
void addProcessExitHook(std::function<void(DWORD processId)> hook);

}  // namespace platform::kernel
