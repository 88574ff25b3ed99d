// Any bytes as multi.ini: the settings must come out in range (colours at most
// white, a placement with a real rectangle and a known dock side), save and
// read back unchanged, the placement must fit whole onto one of the screens,
// and the display must paint in the window so placed.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzFiles.h"
#include "RecordingCanvas.h"
#include "display/DirectionSwing.h"
#include "display/MultiDisplaySettings.h"
#include "display/MultiDisplayValues.h"
#include "display/Multianzeige.h"
#include "display/ScreenFit.h"
#include "platform/IniProfile.h"

namespace {

constexpr const char* kName = "MultiIniFuzz";
constexpr ScreenSize kMinimum{200, 150};

// Screen layouts a window may come back to; the input picks one.
const std::vector<std::vector<ScreenRect>> kScreenSets = {
    {},
    {{0, 0, 1920, 1040}},
    {{0, 0, 1920, 1040}, {1920, -200, 1280, 1024}, {-1280, 300, 1280, 800}},
    {{0, 0, 100, 80}},
    {{0, 0, 0, 0}, {-2147483647, -2147483647, 2147483647, 2147483647}},
};

bool Within(const ScreenRect& rect, const ScreenRect& screen) {
    return rect.width > 0 && rect.height > 0 && rect.x >= screen.x && rect.y >= screen.y &&
           static_cast<long long>(rect.x) + rect.width <=
               static_cast<long long>(screen.x) + screen.width &&
           static_cast<long long>(rect.y) + rect.height <=
               static_cast<long long>(screen.y) + screen.height;
}

// Where the window opens: whole on one usable screen (the fallback area when
// none is), at least the minimum size unless that screen is smaller.
ScreenRect Fit(const MultiWindowPlacement& p, const std::vector<ScreenRect>& screens) {
    const ScreenRect wanted{p.left, p.top, p.right - p.left, p.bottom - p.top};
    const ScreenRect fitted = FitToScreens(wanted, screens, kMinimum);
    const ScreenRect* on = nullptr;
    for (const ScreenRect& screen : screens)
        if (screen.width > 0 && screen.height > 0 && Within(fitted, screen)) on = &screen;
    bool usable = false;
    for (const ScreenRect& screen : screens) usable |= screen.width > 0 && screen.height > 0;
    if (!usable && Within(fitted, kFallbackScreen)) on = &kFallbackScreen;
    if (on == nullptr) FuzzFail(kName, "fitted window lies on no screen");
    if ((fitted.width < kMinimum.width && fitted.width != on->width) ||
        (fitted.height < kMinimum.height && fitted.height != on->height))
        FuzzFail(kName, "fitted window below the minimum size");
    if (Within(wanted, *on) && wanted.width >= kMinimum.width && wanted.height >= kMinimum.height &&
        !(fitted == wanted))
        FuzzFail(kName, "a window on its screen was moved");
    return fitted;
}

void CheckInRange(const MultiDisplaySettings& settings) {
    for (const std::string& id : settings.additionalIds)
        if (id.empty() || id.size() > 9) FuzzFail(kName, "tile identifier empty or too long");
    for (std::uint32_t colour :
         {settings.tileColour, settings.backgroundColour, settings.textColour})
        if (colour > 0xFFFFFF) FuzzFail(kName, "colour beyond white");
    if (settings.directionMaster != 1 && settings.directionMaster != 2)
        FuzzFail(kName, "unknown main direction sensor");
    if (!settings.placement) return;
    const MultiWindowPlacement& p = *settings.placement;
    if (p.right <= p.left || p.bottom <= p.top) FuzzFail(kName, "placement without an area");
    if (p.showCommand != MultiWindowPlacement::kShowNormal &&
        p.showCommand != MultiWindowPlacement::kShowMaximized)
        FuzzFail(kName, "unknown show command");
    if (p.dockArea != 0 && p.dockArea != 1 && p.dockArea != 2 && p.dockArea != 4 && p.dockArea != 8)
        FuzzFail(kName, "unknown dock area");
    if (UnpackPlacement(PackPlacement(p)) !=
        MultiWindowPlacement{p.showCommand, p.left, p.top, p.right, p.bottom, 0})
        FuzzFail(kName, "placement bytes do not read back");
}

// One paint of the display in a client of the placement's size, as the window
// shows it; a fresh canvas each time, so recorded calls do not pile up.
void Paint(const MultiDisplaySettings& settings, const CanvasRect& client) {
    MultiDisplayValues values;
    values.directionMaster = settings.directionMaster;
    values.mainDirection = 200;
    values.secondDirection = 10;
    values.speed = {12.5f, 1, "km/h", "Wind"};
    for (std::size_t i = 0; i < values.additional.size(); ++i)
        values.additional[i] = {-3.25f, 2, "mm", settings.additionalIds[i]};
    values.timeText = "12:00:00    01.03.24";
    DirectionSwing swing;
    swing.Take(190);
    swing.Take(220);
    RecordingCanvas canvas;
    Multianzeige(canvas, client,
                 {settings.tileColour, settings.backgroundColour, settings.textColour})
        .Paint(values, swing, false);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzFolder folder;
    IniProfile profile;
    const std::string file =
        folder.Write("multi.ini", std::string_view(reinterpret_cast<const char*>(data), size));

    const MultiDisplaySettings settings = MultiDisplaySettings::Read(profile, file);
    CheckInRange(settings);

    // Saving over the damaged file must give back what was read.
    if (!settings.Write(profile, file)) FuzzFail(kName, "write failed");
    const MultiDisplaySettings again = MultiDisplaySettings::Read(profile, file);
    if (again.additionalIds != settings.additionalIds || again.tileColour != settings.tileColour ||
        again.backgroundColour != settings.backgroundColour ||
        again.textColour != settings.textColour ||
        again.directionMaster != settings.directionMaster || again.placement != settings.placement)
        FuzzFail(kName, "saved settings read back changed");

    if (settings.placement) {
        const ScreenRect window = Fit(*settings.placement, kScreenSets[size % kScreenSets.size()]);
        Paint(settings, {0, 0, window.width, window.height});
    } else {
        Paint(settings, {0, 0, 400, 300});
    }
    return 0;
}
