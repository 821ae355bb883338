#pragma once
// The window's controls as data: every control's name, kind, place, design text and start state.
// The Qt window builds its widgets from this table and the in-memory model its state, so that both
// start exactly alike.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "form/Form.h"

namespace k54 {

inline constexpr std::string_view kWindowName = "k54";
inline constexpr std::string_view kWindowCaption = "Конфигуратор КЭР-5400-02(03)";
inline constexpr int kClientWidth = 561;
inline constexpr int kClientHeight = 509;

struct Geometry {
    int left = 0, top = 0, width = 0, height = 0;
};

struct ControlSpec {
    std::string name;
    ControlKind kind;
    std::string parent;  // the window, a frame, a panel or a page
    Geometry geometry;
    std::string text;  // design text or caption
    std::vector<std::string> items;
    int itemIndex = -1;
    int maxLength = 0;  // 0: no limit
    bool visible = true;
    bool enabled = true;
    std::string hint;
    bool showHint = false;
    std::string editMask;
    int interval = 0;      // timers, milliseconds
    bool isLabel = false;  // a parameter label on a page (bold)
    bool checkable = false;
    bool announcesDropDown = false;  // a list that tells when the operator opens it
};

struct StatusPanelSpec {
    int width;
    std::string_view text;
    bool centred;
};

inline constexpr std::string_view kStatusBarName = "StatusProg";
inline constexpr std::string_view kLogName = "InforF";
inline constexpr std::array<StatusPanelSpec, 4> kStatusPanels{{
    {70, "v.1.00.0001", true},
    {50, "", false},
    {50, "", false},
    {120, "", false},
}};

// Every control and timer of the window, parents before their children, pages in tab order.
const std::vector<ControlSpec>& windowLayout();

// The control of that name, or nullptr.
const ControlSpec* findControlSpec(std::string_view name);

}  // namespace k54
