#include "display/CDiagramm.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>

#include "platform/Clock.h"

namespace {

constexpr const char* kFontFace = "arial";
constexpr double kFontPoints = 9.0;
constexpr float kMissingBelow = -99990.0f;
// A settings value of thousands of minor steps would only paint the same pixels
// again, on every mouse move.
constexpr int kMaxMinorSteps = 100;

constexpr std::array<double, 21> kStepTable = {0,  1,  2,  5,  5,  5,  10, 10, 10, 10, 10,
                                               20, 20, 20, 20, 20, 20, 20, 20, 20, 20};

// Pixel positions come from float and double arithmetic on values a file may
// carry (1e38, NaN); a conversion outside int would be undefined, so positions
// are held within a range that no device reaches and that still adds safely.
constexpr double kPixelLimit = 1.0e8;

int ToPixel(double value) {
    if (std::isnan(value)) return 0;
    return static_cast<int>(std::clamp(value, -kPixelLimit, kPixelLimit));
}

bool IsPixel(double value) { return std::isfinite(value) && std::fabs(value) <= kPixelLimit; }

bool IsMissing(float value) { return std::isnan(value) || value <= kMissingBelow; }

std::string FormatValue(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

bool SameDay(std::time_t a, std::time_t b) {
    const std::tm x = LocalTime(a);
    const std::tm y = LocalTime(b);
    return x.tm_mday == y.tm_mday && x.tm_mon == y.tm_mon && x.tm_year == y.tm_year;
}

// The local time of `time` with the fields below `keepHours`/`keepMinutes` set
// to 0; the daylight-saving flag is left to the system.
std::time_t RoundLocal(std::time_t time, bool keepHours, bool keepMinutes) {
    std::tm fields = LocalTime(time);
    if (!keepHours) fields.tm_hour = 0;
    if (!keepMinutes) fields.tm_min = 0;
    fields.tm_sec = 0;
    fields.tm_isdst = -1;
    const std::time_t rounded = std::mktime(&fields);
    return rounded == static_cast<std::time_t>(-1) ? time : rounded;
}

std::uint32_t Seconds(std::time_t start, std::time_t end) {
    // Points out of order give no negative axis; an axis beyond 136 years none that wraps.
    if (end <= start) return 0;
    const auto seconds = static_cast<unsigned long long>(end - start);
    return static_cast<std::uint32_t>(
        std::min<unsigned long long>(seconds, std::numeric_limits<std::uint32_t>::max()));
}

// The sexagesimal step table: index 0..150, then 300, 600 and 1200.
double Step60(int index) {
    constexpr std::array<std::pair<int, double>, 14> kUpTo = {
        {{0, 0},
         {1, 1},
         {2, 2},
         {5, 5},
         {10, 10},
         {20, 20},
         {30, 30},
         {60, 60},
         {90, 90},
         {120, 120},
         {150, 150},
         {300, 300},
         {600, 600},
         {std::numeric_limits<int>::max(), 1200}}};
    for (const auto& [last, value] : kUpTo) {
        if (index <= last) return value;
    }
    return 1200;
}

int MinorSteps(int configured) { return std::clamp(configured, 1, kMaxMinorSteps); }

}  // namespace

CDiagramm::CDiagramm(Canvas& canvas, const CanvasRect& clientRect, std::uint32_t axisColour,
                     bool fullSize, const DiagramSettings& settings)
    : m_canvas(canvas),
      m_clientRect(clientRect),
      m_fullSize(fullSize),
      m_axisColour(axisColour),
      m_settings(settings) {
    m_canvas.Save();
    m_canvas.SetFont(kFontFace, kFontPoints);
    const TextExtent sample = m_canvas.TextSize("0000.00");
    m_inset = {clientRect.left + sample.cx, clientRect.top + 8 + sample.cy,
               clientRect.right - sample.cx, clientRect.bottom - sample.cy - 10};
    m_plot = fullSize ? CanvasRect{clientRect.left, clientRect.top, clientRect.right,
                                   clientRect.bottom - 1}
                      : m_inset;
    m_labels.reserve(40);
}

CDiagramm::~CDiagramm() { m_canvas.Restore(); }

double CDiagramm::NiceStep(double a, double b) {
    const double range = b - a;
    if (!(range > 0) || !std::isfinite(range)) return 0;
    const double e = std::log10(range);
    const int exponent = e >= 0 ? static_cast<int>(e) - 1 : static_cast<int>(e) - 2;
    const double unit = std::pow(10.0, exponent);
    const double index = range / 10 / unit + 0.99;
    // The index lies in 1..10 for every positive range; rounding at the edges
    // of double may touch the table's ends.
    const auto slot = static_cast<std::size_t>(std::clamp(index, 0.0, 20.0));
    return kStepTable[slot] * unit;
}

double CDiagramm::NiceStep60(double a, double b) {
    const double range = b - a;
    if (!(range > 0) || !std::isfinite(range)) return 0;
    const double e = std::log10(range) / std::log10(60.0);
    const int exponent = e >= 0 ? static_cast<int>(e) - 1 : static_cast<int>(e) - 2;
    const double unit = std::pow(60.0, exponent);
    const double index = std::min(range / 5 / unit + 0.99, 1.0e6);
    return Step60(static_cast<int>(index)) * unit;
}

CDiagramm::TimeSteps CDiagramm::TimeStep(std::time_t start, std::time_t end) {
    TimeSteps result;
    result.start = start;
    std::uint32_t total = Seconds(start, end);
    if (total == 0) total = 10;
    if (total > 345600) {
        result.start = RoundLocal(start, false, false);
        total = Seconds(result.start, end);
        result.step = NiceStep(0, total / 86400) * 86400;
    } else if (total >= 18000) {
        result.start = RoundLocal(start, true, false);
        total = Seconds(result.start, end);
        result.step = NiceStep(0, total / 3600.0) * 3600;
    } else if (total < 300) {
        result.step = std::max(NiceStep60(0, total), 1.0);
    } else {
        result.start = RoundLocal(start, true, true);
        total = Seconds(result.start, end);
        result.step = NiceStep(0, total / 60.0) * 60;
    }
    // Rounding never shortens the axis, so the branches above keep total > 0;
    // this only keeps a step of 0 out of the tick loop.
    if (!(result.step >= 1)) result.step = 1;
    result.total = total;
    return result;
}

void CDiagramm::DrawValueAxis(float max, float min, const std::string& unit,
                              const std::string& /*name*/, std::uint32_t colour, bool left) {
    m_canvas.Save();
    m_canvas.SetPen(m_axisColour, 1);

    const int right = m_clientRect.right - 2;
    const std::string unitText = "(" + unit + ")";
    const TextExtent unitSize = m_canvas.TextSize(unitText);
    const CanvasRect unitRect = left ? CanvasRect{2, 2, 2 + unitSize.cx, 2 + unitSize.cy}
                                     : CanvasRect{right - unitSize.cx, 2, right, 2 + unitSize.cy};
    m_labels.push_back({unitRect, unitText, colour});

    double top = max;
    double bottom = min;
    // A flat range has no step; the view draws such a curve over a span of 10
    // from its minimum, and the axis follows it (0..0 becomes 0..10). A max of
    // 0 below other minimums stays: the curve is drawn up to 0, not up to 10.
    if (top == bottom) top = bottom + 10.0;
    const double span = top - bottom;
    const int height = m_plot.bottom - m_plot.top;
    // Span 0 remains where adding 10 is lost in the magnitude (1e30).
    if (!std::isfinite(top) || !std::isfinite(bottom) || !std::isfinite(span) || span == 0 ||
        height <= 0) {
        m_canvas.Restore();
        return;
    }

    // A range given upside down (max below min) is labelled upside down, as
    // the curve is drawn.
    const double direction = span > 0 ? 1.0 : -1.0;
    double step = NiceStep(0, std::fabs(span));
    if (!(step >= 0.01)) step = 0.01;
    step *= direction;
    double first = std::trunc(bottom / step) * step;
    if ((first - bottom) * direction < 0) first += step;

    int pix = ToPixel(height / (span / step));
    if (pix == 0) pix = 50;
    int y = m_plot.bottom - ToPixel((first - bottom) / span * height);

    const int minorSteps = MinorSteps(m_settings.minorStepsY);
    const double lowest = std::min(top, bottom);
    const double highest = std::max(top, bottom);
    const double subStep = step / minorSteps;
    const int pixSub = pix / minorSteps;
    const double frac = static_cast<double>(pix % minorSteps) / minorSteps;

    auto gridLine = [&](int lineY, int labelLeft) {
        if (left) {
            DrawDottedLine(m_plot.left, lineY, m_plot.right, lineY, 1, 2);
        } else {
            DrawDottedLine(m_plot.left, lineY, labelLeft - 2, lineY, 1, 20);
        }
    };
    // Values are counted from the first tick rather than summed up, so that
    // the tick at zero reads "0" and not a rounding residue like "1.49e-08".
    auto tickValue = [&](double value) {
        return std::fabs(value) < std::fabs(step) * 1e-6 ? 0.0 : value;
    };

    long index = 0;
    if (y > m_plot.bottom) {
        // Only reached through rounding at extreme magnitudes: skip the ticks
        // below the plot instead of walking through them.
        const long below = (y - m_plot.bottom) / pix;
        index += below;
        y -= static_cast<int>(below * pix);
    }
    int lastTop = y + 10;
    for (; m_plot.top < y; ++index, y -= pix) {
        const double value = tickValue(first + index * step);
        const std::string text = FormatValue(value);
        const TextExtent size = m_canvas.TextSize(text);
        const int labelTop = y - size.cy / 2;
        const CanvasRect rect =
            left ? CanvasRect{2, labelTop, 2 + size.cx, labelTop + size.cy}
                 : CanvasRect{right - size.cx, labelTop, right, labelTop + size.cy};
        if (rect.bottom > lastTop - 2) continue;
        if (m_inset.top <= y && y <= m_inset.bottom) {
            m_labels.push_back({rect, text, colour});
            for (int i = 1; i < minorSteps; ++i) {
                const double minor = tickValue(value - i * subStep);
                if (minor < lowest || minor > highest) continue;
                const int offset = i * pixSub + static_cast<int>(i * frac);
                const std::string minorText = FormatValue(minor);
                const int width = m_canvas.TextSize(minorText).cx;
                const CanvasRect minorRect =
                    left
                        ? CanvasRect{2, rect.top + offset, 2 + width, rect.bottom + offset}
                        : CanvasRect{right - width, rect.top + offset, right, rect.bottom + offset};
                m_labels.push_back({minorRect, minorText, colour});
                gridLine(y + offset, minorRect.left);
            }
        }
        gridLine(y, rect.left);
        lastTop = rect.top;
    }
    m_canvas.Restore();
}

void CDiagramm::AddLegend(const std::string& text, std::uint32_t colour, int position) {
    const TextExtent size = m_canvas.TextSize(text);
    const int top = m_clientRect.top + 2;
    CanvasRect rect;
    if (position == 1) {
        rect = {m_inset.left + 12, top, m_inset.left + 12 + size.cx, top + size.cy};
    } else if (position == 2) {
        rect = {m_inset.right - 12 - size.cx, top, m_inset.right - 12, top + size.cy};
    }
    m_labels.push_back({rect, text, colour});
}

void CDiagramm::DrawTimeAxis(std::time_t start, std::time_t end, bool showDates) {
    m_canvas.Save();
    m_canvas.SetPen(m_axisColour, 1);
    m_canvas.SetTextColour(m_axisColour);

    const TimeSteps steps = TimeStep(start, end);
    m_axisStart = steps.start;
    const std::uint32_t total = steps.total;
    const double step = steps.step;
    const int width = m_plot.right - m_plot.left;
    int pix = ToPixel(width / (total / step));
    if (pix == 0) pix = 50;
    auto tick = static_cast<long long>(std::floor(total / step) * step + 1e-6);

    const std::string axisText = "(t)";
    const TextExtent axisSize = m_canvas.TextSize(axisText);
    const CanvasRect axisRect = {m_clientRect.right - axisSize.cx - 2,
                                 m_clientRect.bottom - axisSize.cy - 2, m_clientRect.right - 2,
                                 m_clientRect.bottom - 2};
    m_labels.push_back({axisRect, axisText, m_axisColour});
    const int dateTop = m_clientRect.top + 2 + axisSize.cy;

    const int minorSteps = MinorSteps(m_settings.minorStepsX);
    const int pixSub = pix / minorSteps;
    int lastLeft = axisRect.left;
    std::time_t lastDate = steps.start + total;
    bool placed = false;
    CanvasRect previousDate;
    // Ticks count down to the axis start; none lies before it, whatever the
    // pixel arithmetic of a very narrow plot says.
    // A step such as 0.1 h in seconds may come out as 359.999...: truncated
    // as it stands, the ticks would drift by a second each.
    const auto stepSeconds = std::max(static_cast<long long>(step + 1e-6), 1LL);
    for (; tick >= 0; tick -= stepSeconds) {
        const int x = m_plot.right - ToPixel(static_cast<double>(width) * (total - tick) / total);
        if (x < m_plot.left) break;
        const std::time_t t = m_axisStart + tick;
        const std::string text = FormatLocalTime(t, "%H:%M:%S");
        const TextExtent size = m_canvas.TextSize(text);
        const CanvasRect rect = {x - size.cx / 2, axisRect.top, x - size.cx / 2 + size.cx,
                                 axisRect.bottom};
        if (rect.right + 2 >= lastLeft) continue;
        if (rect.left >= m_clientRect.left) {
            m_labels.push_back({rect, text, m_axisColour});
            if (total >= 86400) {
                // lastDate follows the day of the tick under previousDate, also
                // before the first date is placed: otherwise an axis ending
                // shortly after midnight puts the last day's date over a tick
                // of the day before.
                if (!SameDay(t, lastDate)) {
                    if (placed && showDates) {
                        m_labels.push_back(
                            {previousDate, FormatLocalTime(lastDate, "%d.%m.%y"), m_axisColour});
                    }
                    lastDate = t;
                }
                previousDate = {rect.left, dateTop, rect.right, dateTop + axisSize.cy};
                placed = true;
            }
        }
        DrawDottedLine(x, m_plot.top, x, m_plot.bottom, 1, 2);
        for (int i = 1; i < minorSteps; ++i) {
            DrawDottedLine(x + i * pixSub, m_plot.top, x + i * pixSub, m_plot.bottom, 1, 2);
        }
        lastLeft = rect.left;
    }
    m_canvas.Restore();
    m_totalSeconds = total;
}

std::optional<CDaten> CDiagramm::DrawCurve(std::span<const CDaten> points, float range, float min,
                                           std::uint32_t colour, int mode, int cursorX, bool draw,
                                           bool showDates) {
    if (points.empty()) return std::nullopt;
    m_canvas.Save();
    m_canvas.SetPen(colour, std::max(m_settings.lineWidth, 1));
    if (!m_timeAxisDone) {
        DrawTimeAxis(points.front().m_start, points.back().m_end, showDates);
        m_timeAxisDone = true;
    }
    if (!draw) {
        m_canvas.Restore();
        return std::nullopt;
    }
    if (range == 0 || !std::isfinite(range)) range = 10.0f;
    if (mode == kDots) m_canvas.SetBrush(colour);

    const float left = static_cast<float>(m_plot.left);
    const float width = static_cast<float>(m_plot.right - m_plot.left);
    const float bottom = static_cast<float>(m_plot.bottom);
    const float height = static_cast<float>(m_plot.bottom - m_plot.top);
    const float total = static_cast<float>(m_totalSeconds);

    std::optional<CDaten> cursor;
    m_segment.clear();
    auto flush = [&] {
        if (m_segment.size() > 1) m_canvas.Polyline(m_segment);
        m_segment.clear();
    };
    for (auto point = points.rbegin(); point != points.rend(); ++point) {
        if (IsMissing(point->m_value)) {
            flush();
            continue;
        }
        const float fx = left + static_cast<float>(point->m_start - m_axisStart) / total * width;
        const float fy = bottom - (point->m_value - min) / range * height;
        if (!IsPixel(fx)) continue;
        const int x = static_cast<int>(fx);
        if (!cursor && x <= cursorX) cursor = *point;
        if (!IsPixel(fy)) continue;
        const int y = static_cast<int>(fy);
        if (x < m_plot.left || x > m_plot.right || y < m_plot.top || y > m_plot.bottom) continue;
        if (mode == kDots) {
            m_canvas.Line(x, y - 4, x, y + 4);
            m_canvas.Line(x - 4, y, x + 4, y);
            m_canvas.Ellipse({x - 2, y - 2, x + 2, y + 2});
        } else {
            m_segment.push_back({x, y});
        }
    }
    flush();
    m_canvas.Restore();
    return cursor;
}

void CDiagramm::CollectPointsInRect(std::span<const CDaten> points, float& min, float& max,
                                    float range, const CanvasRect& rect,
                                    std::vector<CDaten>& out) const {
    const float axisMin = min;
    min = 0;
    max = 0;
    if (points.empty()) return;
    if (range == 0 || !std::isfinite(range)) range = 10.0f;
    const TimeSteps steps = TimeStep(points.front().m_start, points.back().m_end);
    const float left = static_cast<float>(m_plot.left);
    const float width = static_cast<float>(m_plot.right - m_plot.left);
    const float bottom = static_cast<float>(m_plot.bottom);
    const float height = static_cast<float>(m_plot.bottom - m_plot.top);
    const float total = static_cast<float>(steps.total);
    bool found = false;
    for (const CDaten& point : points) {
        if (IsMissing(point.m_value)) continue;
        const float fx = left + static_cast<float>(point.m_start - steps.start) / total * width;
        const float fy = bottom - (point.m_value - axisMin) / range * height;
        if (!IsPixel(fx) || !IsPixel(fy)) continue;
        const int x = static_cast<int>(fx);
        const int y = static_cast<int>(fy);
        if (x < rect.left || x >= rect.right || y < rect.top || y >= rect.bottom) continue;
        out.push_back(point);
        min = found ? std::min(min, point.m_value) : point.m_value;
        max = found ? std::max(max, point.m_value) : point.m_value;
        found = true;
    }
}

void CDiagramm::DrawLabels() {
    for (const Label& label : m_labels) {
        // An empty rectangle (a legend at no position) shows nothing.
        if (label.rect.Width() <= 0 || label.rect.Height() <= 0) continue;
        m_canvas.SetTextColour(label.colour);
        m_canvas.DrawText(label.text, label.rect, TextAlign::kCentre);
    }
}

void CDiagramm::DrawDottedLine(int x1, int y1, int x2, int y2, int on, int off) {
    if (on <= 0) return;
    off = std::max(off, 0);
    const float slope = static_cast<float>(y2 - y1) / (static_cast<float>(x2 - x1) + 0.1f);
    // The intercept in double: in float, a vertical grid line far right on a
    // printer page would wobble by a pixel.
    const double intercept = y1 - static_cast<double>(x1) * slope;
    const bool alongY = slope > 1;
    int from = alongY ? y1 : x1;
    int to = alongY ? y2 : x2;
    if (to < from) std::swap(from, to);
    // Pixels off the client area are invisible; leaving them out bounds the
    // walk by the device size whatever the coordinates are.
    const int low = alongY ? m_clientRect.top : m_clientRect.left;
    const int high = alongY ? m_clientRect.bottom : m_clientRect.right;
    const int period = on + off;
    m_dots.clear();
    int c = from;
    if (c < low) c += (low - c) / period * period;
    for (; c <= to && c <= high; c += period) {
        for (int k = off; k < period && c + k <= to; ++k) {
            const int a = c + k;
            if (alongY) {
                m_dots.push_back({ToPixel((a - intercept) / slope), a});
            } else {
                m_dots.push_back({a, ToPixel(slope * a + intercept)});
            }
        }
    }
    if (!m_dots.empty()) m_canvas.Points(m_dots);
}
