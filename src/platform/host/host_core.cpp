// The host platform's process, memory, message, diagnostic and system pieces,
// and the reset that ties every part of the emulated machine together.
#include <cstdio>
#include <cstdlib>
#include <unordered_set>

#include "boardsim/boardsim.h"
#include "platform/host/host_internal.h"
#include "platform/host/host_state.h"

namespace host {
namespace {

struct CoreState {
    std::vector<MessageBoxRecord> boxes;
    std::vector<int> answers;
    std::size_t nextAnswer = 0;
    std::vector<std::uint32_t> beeps;
    std::string diagnostics;
    bool echo = false;
    int failAllocationIn = 0;
    int allocations = 0;
    std::unordered_set<void*> outstanding;
    std::uint32_t lcid = 1033;
    bool failSetLocale = false;
    std::uint32_t slept = 0;
};

CoreState& core() {
    static CoreState state;
    return state;
}

}  // namespace

void Reset() {
    core() = CoreState{};
    ResetRegistry();
    detail::ResetFiles();
    detail::ResetModules();
    detail::ResetDisplay();
    boardsim::Uninstall();
}

const std::vector<MessageBoxRecord>& MessageBoxes() { return core().boxes; }

void ScriptMessageBoxAnswers(const std::vector<int>& answers) {
    core().answers = answers;
    core().nextAnswer = 0;
}

const std::vector<std::uint32_t>& Beeps() { return core().beeps; }

const std::string& Diagnostics() { return core().diagnostics; }
void EchoDiagnostics(bool echo) { core().echo = echo; }

void FailNthAllocation(int n) { core().failAllocationIn = n > 0 ? n : 0; }
int AllocationCount() { return core().allocations; }
int OutstandingAllocations() { return static_cast<int>(core().outstanding.size()); }

void SetUserLcid(std::uint32_t lcid) { core().lcid = lcid; }
void FailSetLocale(bool fail) { core().failSetLocale = fail; }
std::uint32_t SleptMilliseconds() { return core().slept; }

}  // namespace host

namespace platform {

int MessageBox(Window owner, const char16_t* text, const char16_t* caption, std::uint32_t type) {
    auto& c = host::core();
    host::MessageBoxRecord record;
    record.owner = owner;
    record.text = text ? text : u"";
    record.caption = caption ? caption : u"";
    record.type = type;
    c.boxes.push_back(record);
    if (c.nextAnswer < c.answers.size()) return c.answers[c.nextAnswer++];
    return kIdOk;
}

void MessageBeep(std::uint32_t type) { host::core().beeps.push_back(type); }

void WriteDiagnostic(const char* text) {
    if (!text) return;
    auto& c = host::core();
    c.diagnostics += text;
    if (c.echo) {
        std::fputs(text, stdout);
        std::fflush(stdout);
    }
}

void* Allocate(std::size_t size) {
    auto& c = host::core();
    ++c.allocations;
    if (c.failAllocationIn > 0 && --c.failAllocationIn == 0) return nullptr;
    void* block = std::malloc(size ? size : 1);
    if (block) c.outstanding.insert(block);
    return block;
}

void Free(void* block) {
    if (!block) return;
    host::core().outstanding.erase(block);
    std::free(block);
}

void ExitProcess(int code) { throw ProcessExit{code}; }

std::uint32_t GetUserDefaultLCID() { return host::core().lcid; }

void Sleep(std::uint32_t milliseconds) { host::core().slept += milliseconds; }

bool SetUserLocale() { return !host::core().failSetLocale; }

}  // namespace platform
