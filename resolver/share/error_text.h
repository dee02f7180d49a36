#pragma once
// Messages for the "errno" member of the share API's JSON replies (0 = success).
#include <cstdint>
#include <string>

namespace share {

// The user's message for errno, as CP936 text. A number the service does not document gives
// "未知错误ID:" followed by the number in decimal (with its minus sign).
std::string ErrorText(int32_t errnum);

}  // namespace share
