// The host platform's process, memory, message, diagnostic and system pieces,
// and the reset that ties every part of the emulated machine together.
#include <cstdio>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

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
    int outstanding = 0;  // blocks of this machine's generation not yet freed
    std::uint32_t lcid = 1033;
    bool failSetLocale = false;
    std::uint32_t slept = 0;
};

CoreState& core() {
    static CoreState state;
    return state;
}

// Every reset starts a generation; a block freed after a reset that it was
// handed out before does not count against the new machine.
std::uint64_t generation = 0;

// Each block starts with the generation that handed it out; the caller
// gets the memory after it, aligned as malloc's.
struct alignas(std::max_align_t) BlockHeader {
    std::uint64_t generation;
};

}  // namespace

void Reset() {
    core() = CoreState{};
    ++generation;
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
int OutstandingAllocations() { return core().outstanding; }

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

namespace {

void* Counted(void* (*allocate)(std::size_t), std::size_t size) {
    auto& c = host::core();
    ++c.allocations;
    if (c.failAllocationIn > 0 && --c.failAllocationIn == 0) return nullptr;
    if (size > SIZE_MAX - sizeof(host::BlockHeader)) return nullptr;
    auto* header = static_cast<host::BlockHeader*>(allocate(sizeof(host::BlockHeader) + size));
    if (!header) return nullptr;
    header->generation = host::generation;
    ++c.outstanding;
    return header + 1;
}

}  // namespace

void* Allocate(std::size_t size) { return Counted(std::malloc, size); }
void* AllocateZeroed(std::size_t size) {
    return Counted([](std::size_t bytes) { return std::calloc(1, bytes); }, size);
}

void Free(void* block) {
    if (!block) return;
    auto* header = static_cast<host::BlockHeader*>(block) - 1;
    if (header->generation == host::generation) --host::core().outstanding;
    std::free(header);
}

void ExitProcess(int code) { throw ProcessExit{code}; }

std::uint32_t GetUserDefaultLCID() { return host::core().lcid; }

void Sleep(std::uint32_t milliseconds) { host::core().slept += milliseconds; }

bool SetUserLocale() { return !host::core().failSetLocale; }

}  // namespace platform
