#include "panel/item_view_rules.h"

#include "common/types.h"

#include <algorithm>
#include <cstdlib>

namespace pw::view {
namespace {

int Clamp(const ScrollState& bar, int position) {
    position = std::min(position, bar.maximum - bar.minimum - bar.page);
    return std::max(position, bar.minimum);
}

} // namespace

ScrollLayout LayOutScroll(int contentHeight, int rows, int viewHeight, int scrollOffset,
                          const ScrollState& read, int lineStep) {
    ScrollLayout out{read, lineStep, false};
    const int excess = contentHeight - viewHeight;
    const int reached = std::min(std::abs(excess), -scrollOffset);
    if (excess > 0) {
        out.bar.page = excess / std::max(rows, 1);
        out.lineStep = std::max(1, out.bar.page / 3);
        out.bar.maximum = excess;
    } else {
        out.bar.maximum = reached;
    }
    out.bar.position = reached;
    if (out.bar.position > out.bar.maximum - out.bar.page) out.bar.position = out.bar.maximum - out.bar.page;
    if (out.bar.position < 0) out.bar.position = 0;
    out.bar.minimum = 0;
    out.barVisible = out.bar.maximum != 0 || out.bar.position != 0;
    return out;
}

int ScrollPosition(const ScrollState& bar, int request, int trackPosition, int lineStep) {
    int position = bar.position;
    switch (request) {
    case kLineUp: position -= lineStep; break;
    case kLineDown: position += lineStep; break;
    case kPageUp: position -= bar.page; break;
    case kPageDown: position += bar.page; break;
    case kThumbTrack: position = trackPosition; break;
    default: break;
    }
    return Clamp(bar, position);
}

int WheelPosition(const ScrollState& bar, bool down, int lineStep) {
    return Clamp(bar, bar.position + (down ? lineStep : -lineStep));
}

DispatchActions Decide(std::uint8_t code, const DispatchState& state) {
    DispatchActions a;
    if (code == kNotifyDebug && state.debugMode) {
        a.openDebug = !state.debugOpen;
        a.addLogLine = true;
    }
    if (state.busy) {
        a.dropped = true;
        return a;
    }
    a.remember = true;
    if (code == kNotifyUnused) return a;
    a.closeHelp = state.helpOpen;
    if (code == kNotifyPairRequest && state.receivers == 1 && !state.pairRequestOpen)
        a.openPairRequest = true;
    if (state.receivers > 1) {
        a.closePairRequest = state.pairRequestOpen;
        a.openMultiple = !state.multipleOpen;
        return a;
    }
    switch (code) {
    case kNotifyAlreadyConnected: a.openRedundant = !state.redundantOpen; break;
    case kNotifyReceiverFull:
        if (!state.failedOpen) a.openFailedMode = 0;
        break;
    case kNotifyDeviceLimited:
        if (!state.failedOpen) a.openFailedMode = 1;
        break;
    default: break;
    }
    return a;
}

std::string Describe(const DispatchActions& a) {
    std::string out;
    const auto add = [&](bool on, const char* what) {
        if (!on) return;
        if (!out.empty()) out += ',';
        out += what;
    };
    add(a.openDebug, "open-debug");
    add(a.addLogLine, "log-line");
    add(a.dropped, "dropped-busy");
    add(a.closeHelp, "close-help");
    add(a.openPairRequest, "open-pair-request");
    add(a.closePairRequest, "close-pair-request");
    add(a.openMultiple, "open-multiple");
    add(a.openRedundant, "open-redundant");
    add(a.openFailedMode == 0, "open-failed-receiver-full");
    add(a.openFailedMode == 1, "open-failed-device-limited");
    return out.empty() ? "none" : out;
}

} // namespace pw::view
