#pragma once

// A Canvas that records every call with fixed text metrics, so that tests
// check the painters' positions and texts as numbers.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "display/Canvas.h"

class RecordingCanvas : public Canvas {
public:
    static constexpr int kCharWidth = 7;
    static constexpr int kTextHeight = 12;

    enum class Kind {
        kSave,
        kRestore,
        kSetPen,
        kSetBrush,
        kSetHollowBrush,
        kSetFont,
        kSetTextColour,
        kLine,
        kPolyline,
        kPoints,
        kRectangle,
        kEllipse,
        kPolygon,
        kFillRect,
        kText,
        kClip,
    };

    // One call. `colour` is the pen colour for strokes and points, the brush
    // or fill colour for fills, the text colour for texts, and the argument of
    // the Set... calls.
    struct Call {
        Kind kind = Kind::kSave;
        std::vector<CanvasPoint> points;  // lines: both ends
        CanvasRect rect;
        std::string text;  // texts and font faces
        std::uint32_t colour = 0;
        int width = 0;  // pen width; for fonts the size in points
        PenStyle style = PenStyle::kSolid;
        TextAlign align = TextAlign::kLeft;
    };

    void Save() override {
        m_saved.push_back(m_state);
        Record(Kind::kSave);
    }
    void Restore() override {
        if (!m_saved.empty()) {
            m_state = m_saved.back();
            m_saved.pop_back();
        } else {
            ++m_unbalancedRestores;
        }
        Record(Kind::kRestore);
    }
    void SetPen(std::uint32_t colour, int width, PenStyle style) override {
        m_state.pen = colour;
        m_state.penWidth = width;
        Call& call = Record(Kind::kSetPen, colour);
        call.width = width;
        call.style = style;
    }
    void SetBrush(std::uint32_t colour) override {
        m_state.brush = colour;
        Record(Kind::kSetBrush, colour);
    }
    void SetHollowBrush() override { Record(Kind::kSetHollowBrush); }
    void SetFont(std::string_view face, double pointSize, bool /*bold*/) override {
        Call& call = Record(Kind::kSetFont);
        call.text = face;
        call.width = static_cast<int>(pointSize);
    }
    void SetTextColour(std::uint32_t colour) override {
        m_state.text = colour;
        Record(Kind::kSetTextColour, colour);
    }
    TextExtent TextSize(std::string_view text) override {
        return {static_cast<int>(text.size()) * kCharWidth, kTextHeight};
    }

    void Line(int x1, int y1, int x2, int y2) override {
        const CanvasPoint ends[] = {{x1, y1}, {x2, y2}};
        Stroke(Kind::kLine, ends);
    }
    void Polyline(std::span<const CanvasPoint> points) override { Stroke(Kind::kPolyline, points); }
    void Points(std::span<const CanvasPoint> points) override { Stroke(Kind::kPoints, points); }
    void Rectangle(const CanvasRect& rect) override {
        Record(Kind::kRectangle, m_state.brush).rect = rect;
    }
    void Ellipse(const CanvasRect& rect) override {
        Record(Kind::kEllipse, m_state.brush).rect = rect;
    }
    void Polygon(std::span<const CanvasPoint> points) override {
        Record(Kind::kPolygon, m_state.brush).points.assign(points.begin(), points.end());
    }
    void FillRect(const CanvasRect& rect, std::uint32_t colour) override {
        Record(Kind::kFillRect, colour).rect = rect;
    }
    void DrawText(std::string_view text, const CanvasRect& rect, TextAlign align) override {
        Call& call = Record(Kind::kText, m_state.text);
        call.rect = rect;
        call.text = text;
        call.align = align;
    }
    void ClipTo(const CanvasRect& rect) override { Record(Kind::kClip).rect = rect; }

    const std::vector<Call>& Calls() const { return m_calls; }
    std::vector<Call> CallsOf(Kind kind) const {
        std::vector<Call> found;
        for (const Call& call : m_calls) {
            if (call.kind == kind) found.push_back(call);
        }
        return found;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Call& call : m_calls) {
            if (call.kind == Kind::kText) texts.push_back(call.text);
        }
        return texts;
    }
    // Save and Restore calls still open (positive) or restored too often.
    int OpenSaves() const { return static_cast<int>(m_saved.size()) - m_unbalancedRestores; }
    void Clear() { m_calls.clear(); }

private:
    struct State {
        std::uint32_t pen = 0;
        int penWidth = 1;
        std::uint32_t brush = 0;
        std::uint32_t text = 0;
    };

    Call& Record(Kind kind, std::uint32_t colour = 0) {
        Call& call = m_calls.emplace_back();
        call.kind = kind;
        call.colour = colour;
        return call;
    }
    void Stroke(Kind kind, std::span<const CanvasPoint> points) {
        Call& call = Record(kind, m_state.pen);
        call.points.assign(points.begin(), points.end());
        call.width = m_state.penWidth;
    }

    std::vector<Call> m_calls;
    State m_state;
    std::vector<State> m_saved;
    int m_unbalancedRestores = 0;
};
