// The desktop device context of the emulated machine: escapes go to the
// board simulator, and every acquire and release is counted.
#include "boardsim/boardsim.h"
#include "platform/host/host_state.h"

namespace host {
namespace {

constexpr platform::DeviceContext kDesktopDc = 0xDC;

struct DisplayState {
    int acquired = 0;
    int released = 0;
};

DisplayState& display() {
    static DisplayState state;
    return state;
}

}  // namespace

int DcAcquireCount() { return display().acquired; }
int DcReleaseCount() { return display().released; }

namespace detail {
void ResetDisplay() { display() = DisplayState{}; }
}  // namespace detail

}  // namespace host

namespace platform {

DeviceContext AcquireDesktopDC() {
    ++host::display().acquired;
    return host::kDesktopDc;
}

void ReleaseDesktopDC(DeviceContext dc) {
    if (dc == host::kDesktopDc) ++host::display().released;
}

int ExtEscape(DeviceContext dc, int escape, int inSize, const void* in, int outSize, void* out) {
    if (dc != host::kDesktopDc) return 0;
    return boardsim::Escape(escape, inSize, in, outSize, out);
}

}  // namespace platform
