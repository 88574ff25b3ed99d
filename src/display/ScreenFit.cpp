#include "display/ScreenFit.h"

#include <algorithm>
#include <cstdint>

namespace {

// Stored numbers may be anything: sums and products are taken in 64 bits.
struct Box {
    std::int64_t left, top, right, bottom;
};

Box BoxOf(const ScreenRect& rect, std::int64_t width, std::int64_t height) {
    return {rect.x, rect.y, std::int64_t{rect.x} + width, std::int64_t{rect.y} + height};
}

std::int64_t Overlap(const Box& a, const Box& b) {
    const std::int64_t width = std::min(a.right, b.right) - std::max(a.left, b.left);
    const std::int64_t height = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    if (width <= 0 || height <= 0) return 0;
    // Each at most a screen's int size: the product stays inside 64 bits.
    return width * height;
}

// How far the box's centre lies from the screen (0 inside it), squared.
double Distance(const Box& box, const Box& screen) {
    const std::int64_t cx = box.left + (box.right - box.left) / 2;
    const std::int64_t cy = box.top + (box.bottom - box.top) / 2;
    const auto dx = static_cast<double>(cx - std::clamp(cx, screen.left, screen.right));
    const auto dy = static_cast<double>(cy - std::clamp(cy, screen.top, screen.bottom));
    return dx * dx + dy * dy;
}

}  // namespace

ScreenRect FitToScreens(const ScreenRect& wanted, std::span<const ScreenRect> screens,
                        ScreenSize minimum) {
    const std::int64_t minWidth = std::max(1, minimum.width);
    const std::int64_t minHeight = std::max(1, minimum.height);
    const std::int64_t width = std::max<std::int64_t>(wanted.width, minWidth);
    const std::int64_t height = std::max<std::int64_t>(wanted.height, minHeight);
    const Box box = BoxOf(wanted, width, height);

    const ScreenRect* chosen = nullptr;
    std::int64_t bestOverlap = 0;
    double bestDistance = 0;
    for (const ScreenRect& screen : screens) {
        if (screen.width <= 0 || screen.height <= 0) continue;
        const Box area = BoxOf(screen, screen.width, screen.height);
        const std::int64_t overlap = Overlap(box, area);
        const double distance = Distance(box, area);
        // Most shown first; among screens that show nothing, the nearest.
        const bool better = chosen == nullptr || overlap > bestOverlap ||
                            (overlap == 0 && bestOverlap == 0 && distance < bestDistance);
        if (!better) continue;
        chosen = &screen;
        bestOverlap = overlap;
        bestDistance = distance;
    }
    const ScreenRect& screen = chosen != nullptr ? *chosen : kFallbackScreen;

    ScreenRect fitted;
    fitted.width = static_cast<int>(std::min<std::int64_t>(width, screen.width));
    fitted.height = static_cast<int>(std::min<std::int64_t>(height, screen.height));
    const std::int64_t lastX = std::int64_t{screen.x} + screen.width - fitted.width;
    const std::int64_t lastY = std::int64_t{screen.y} + screen.height - fitted.height;
    fitted.x = static_cast<int>(std::clamp<std::int64_t>(wanted.x, screen.x, lastX));
    fitted.y = static_cast<int>(std::clamp<std::int64_t>(wanted.y, screen.y, lastY));
    return fitted;
}
