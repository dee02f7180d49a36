#include "resolver/shell/controls.h"

namespace shell {

using K = ControlKind;

const ControlSpec kMainControls[14] = {
    {kSelectZip, "SelectZIP", K::kCheckBox, 800, 6, 120, 16, "打包为压缩文件", -12},
    {kPanTite4, "Pan_Tite4", K::kTransparentLabel, 7, 4, 419, 20, "2017年09月07日15：00更新", -12},
    {kPanTite1, "Pan_Tite1", K::kTransparentLabel, 561, 504, 64, 21, "解析链接：", -12},
    {kPanUrl, "Pan_Url", K::kEdit, 625, 504, 296, 21, "", -12},
    {kPanCaptcha, "Pan_Captcha", K::kCenteredEdit, 827, 583, 91, 20, "", -12},
    {kPanTite3, "Pan_Tite3", K::kTransparentLabel, 753, 582, 91, 24, "验证码：", -16},
    {kPanCaptchaBody, "Pan_CaptchaBody", K::kPicture, 768, 536, 152, 42, "", -12},
    {kSelectAll, "SelectAll", K::kCheckBox, 10, 34, 14, 14, "", -12},
    {kTransparentLabel1, "透明标签1", K::kTransparentLabel, 8, 13, 912, 41, "", -12},
    {kData, "data", K::kListView, 5, 28, 916, 467, "", -12},
    {kPanRunState, "Pan_RunState", K::kLogEdit, 5, 501, 549, 146, "", -12},
    {kPanButton, "Pan_Button", K::kButton, 567, 615, 352, 32, "解析", -12},
    {kPanTite2, "Pan_Tite2", K::kTransparentLabel, 561, 536, 66, 20, "提取密码：", -12},
    {kPanPas, "Pan_Pas", K::kEdit, 625, 536, 91, 20, "", -12},
};

// Column 0's four leading blanks leave the room where SelectAll sits over the header.
const ColumnSpec kDataColumns[4] = {
    {"    文件名", 600},
    {"大小", 100},
    {"修改日期", 150},
    {"下载地址", 0},
};

const char kMainMenuTitle[] = "mene";
const MenuEntrySpec kMainMenuEntries[1] = {{kMenuThanks, "请作者喝咖啡?"}};
const char kListMenuTitle[] = "mene1";
const MenuEntrySpec kListMenuEntries[2] = {
    {kMenuGoUp, "返回上一级"},
    {kMenuResolveSelected, "解析选中项"},
};

const ControlSpec* FindControl(ControlId id) {
  for (const auto& c : kMainControls) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

}  // namespace shell
