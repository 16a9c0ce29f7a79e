// The status bar's parts and the progress pane, drawn as a row of grey
// LED segments.
#include <algorithm>
#include <vector>

#include "platform/win32/ui_win32.h"
// (after <windows.h>, which the common controls need first)
#include <commctrl.h>

namespace quillet::ui::win32 {
namespace {

bool IsPane(const Control& control) {
  return dynamic_cast<const StatusPane*>(&control) != nullptr ||
         dynamic_cast<const ProgressPane*>(&control) != nullptr;
}

std::vector<Control*> PanesOf(Control& bar) {
  std::vector<Control*> panes;
  for (Control* control : bar.OwnerForm().impl().controls) {
    if (control->Parent() == &bar && IsPane(*control)) panes.push_back(control);
  }
  return panes;
}

// Right edges of the parts, left to right; an Align::Client pane takes
// what the others leave of the bar's width.
std::vector<int> PartEdges(const std::vector<Control*>& panes, int barWidth) {
  int fixed = 0;
  for (const Control* pane : panes) {
    if (pane->impl().align != Align::Client) fixed += pane->impl().width;
  }
  std::vector<int> edges;
  int right = 0;
  for (const Control* pane : panes) {
    const bool fills = pane->impl().align == Align::Client;
    right += fills ? std::max(barWidth - fixed, 0) : pane->impl().width;
    edges.push_back(right);
  }
  if (!edges.empty()) edges.back() = -1;  // the last part reaches the bar's end
  return edges;
}

HBRUSH SolidBrush(COLORREF colour) { return CreateSolidBrush(colour); }

void FillSegment(HDC dc, const RECT& rect, COLORREF colour) {
  HBRUSH brush = SolidBrush(colour);
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

}  // namespace

void UpdateStatusParts(Control& bar) {
  const HWND window = WindowOf(bar).hwnd;
  if (window == nullptr) return;
  const std::vector<Control*> panes = PanesOf(bar);
  if (panes.empty()) return;
  std::vector<int> edges = PartEdges(panes, bar.impl().width);
  SendMessageW(window, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  for (std::size_t i = 0; i < panes.size(); ++i) {
    Control::Impl& pane = panes[i]->impl();
    WindowOf(*panes[i]).part = static_cast<int>(i);
    const WPARAM borders = pane.frame ? 0 : SBT_NOBORDERS;
    if (dynamic_cast<ProgressPane*>(panes[i]) != nullptr) {
      SendMessageW(window, SB_SETTEXTW, i | SBT_OWNERDRAW | borders, reinterpret_cast<LPARAM>(&pane));
      InvalidateRect(window, nullptr, FALSE);
    } else {
      SendMessageW(window, SB_SETTEXTW, i | borders, reinterpret_cast<LPARAM>(WideText(pane.text)));
    }
  }
}

// Segments of equal width with one pixel between them; the lit ones (the
// share of the percentage) dark grey, the others light grey.
void DrawProgressPane(const ControlState& pane, const DRAWITEMSTRUCT& item) {
  RECT area = item.rcItem;
  InflateRect(&area, -2, -2);
  const int segments = pane.segments;
  const int width = area.right - area.left;
  const int lit = segments * pane.percent / 100;
  FillSegment(item.hDC, item.rcItem, GetSysColor(COLOR_BTNFACE));
  for (int i = 0; i < segments; ++i) {
    RECT segment = area;
    segment.left = area.left + width * i / segments;
    segment.right = area.left + width * (i + 1) / segments - 1;
    FillSegment(item.hDC, segment, i < lit ? RGB(96, 96, 96) : RGB(208, 208, 208));
  }
}

// A mast with waves going out from its top: a small picture in greys and
// a touch of blue, drawn rather than loaded, so the module needs no file.
void DrawDecorativePicture(const DRAWITEMSTRUCT& item) {
  const HDC dc = item.hDC;
  const RECT r = item.rcItem;
  FillSegment(dc, r, GetSysColor(COLOR_BTNFACE));
  const int cx = (r.left + r.right) / 2;
  const int top = r.top + 8;
  const int bottom = r.bottom - 4;
  HPEN mast = CreatePen(PS_SOLID, 2, RGB(90, 90, 90));
  HGDIOBJ oldPen = SelectObject(dc, mast);
  MoveToEx(dc, cx, top, nullptr);
  LineTo(dc, cx - 10, bottom);
  MoveToEx(dc, cx, top, nullptr);
  LineTo(dc, cx + 10, bottom);
  MoveToEx(dc, cx - 6, (top + bottom) / 2, nullptr);
  LineTo(dc, cx + 6, (top + bottom) / 2);
  HPEN wave = CreatePen(PS_SOLID, 1, RGB(40, 90, 170));
  SelectObject(dc, wave);
  for (int radius = 6; radius <= 18; radius += 6) {
    Arc(dc, cx - radius, top - radius, cx + radius, top + radius, cx + radius, top - radius / 2, cx + radius,
        top + radius / 2);
    Arc(dc, cx - radius, top - radius, cx + radius, top + radius, cx - radius, top + radius / 2, cx - radius,
        top - radius / 2);
  }
  SelectObject(dc, oldPen);
  DeleteObject(wave);
  DeleteObject(mast);
}

}  // namespace quillet::ui::win32
