#pragma once
// The main window's controls, columns and menus as data. Control and menu ids are fixed: the
// window procedure dispatches on them and the end-to-end tests find the controls by them.
//
//   id    name              kind
//   1001  SelectZIP         check box "打包为压缩文件"
//   1002  Pan_Tite4         transparent label
//   1003  Pan_Tite1         transparent label "解析链接："
//   1004  Pan_Url           one-line edit (share URL)
//   1005  Pan_Captcha       one-line edit, centred (captcha answer)
//   1006  Pan_Tite3         transparent label "验证码：" (font height -16)
//   1007  Pan_CaptchaBody   picture box (captcha image)
//   1008  SelectAll         check box without caption, above the list header
//   1009  透明标签1          transparent label without text
//   1010  data              list view, detail view, check box per row
//   1011  Pan_RunState      multi-line edit with vertical scroll bar (the log box)
//   1012  Pan_Button        button "解析"
//   1013  Pan_Tite2         transparent label "提取密码："
//   1014  Pan_Pas           one-line edit (extraction password, in clear)
//
//   2001  "请作者喝咖啡?"   entry of the menu bar's "mene"
//   2101  "返回上一级"       entry of the hidden popup "mene1"
//   2102  "解析选中项"       entry of the hidden popup "mene1"
#include <cstddef>

namespace shell {

enum ControlId : int {
  kSelectZip = 1001,
  kPanTite4 = 1002,
  kPanTite1 = 1003,
  kPanUrl = 1004,
  kPanCaptcha = 1005,
  kPanTite3 = 1006,
  kPanCaptchaBody = 1007,
  kSelectAll = 1008,
  kTransparentLabel1 = 1009,
  kData = 1010,
  kPanRunState = 1011,
  kPanButton = 1012,
  kPanTite2 = 1013,
  kPanPas = 1014,
};

enum MenuId : int {
  kMenuThanks = 2001,
  kMenuGoUp = 2101,
  kMenuResolveSelected = 2102,
};

enum class ControlKind {
  kCheckBox,
  kTransparentLabel,
  kEdit,          // one line
  kCenteredEdit,  // one line, text centred
  kLogEdit,       // multi-line, vertical scroll bar
  kPicture,
  kListView,      // detail view, one check box per row
  kButton,
};

// Geometry in pixels of the main window's client area.
struct ControlSpec {
  ControlId id;
  const char* name;  // UTF-8, the control's name
  ControlKind kind;
  int x, y, width, height;
  const char* text;  // UTF-8 literal; shown after conversion to CP936 (base::Gbk)
  int fontHeight;    // logical units, negative: character height
};

struct ColumnSpec {
  const char* title;  // UTF-8 literal
  int width;
};

struct MenuEntrySpec {
  MenuId id;
  const char* text;  // UTF-8 literal
};

// In creation order.
extern const ControlSpec kMainControls[14];
extern const ColumnSpec kDataColumns[4];

extern const char kMainMenuTitle[];  // "mene", the menu bar's one item
extern const MenuEntrySpec kMainMenuEntries[1];
extern const char kListMenuTitle[];  // "mene1", kept out of the menu bar
extern const MenuEntrySpec kListMenuEntries[2];

constexpr const char kMainCaption[] = "Quillon";
constexpr int kMainX = 50, kMainY = 50, kMainWidth = 932, kMainHeight = 710;  // outer size
constexpr const char kFontFace[] = "微软雅黑";  // UTF-8 literal

const ControlSpec* FindControl(ControlId id);

}  // namespace shell
