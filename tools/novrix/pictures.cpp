#include "pictures.h"

#include <cctype>

#include "dialog_ids.h"
#include "dialog_picture.h"

namespace novrix {

std::string PictureFileName(const std::string& title) {
    std::string name;
    for (unsigned char c : title) {
        if (std::isalnum(c)) name += static_cast<char>(std::tolower(c));
        else if (c == '&') continue;
        else if (!name.empty() && name.back() != '-') name += '-';
    }
    while (!name.empty() && name.back() == '-') name.pop_back();
    if (name.size() > 60) name.resize(60);
    return (name.empty() ? "dialog" : name) + ".png";
}

bool WriteWindowPicture(HWND window, const std::string& path, std::string* error) {
    picture::PictureOptions options;
    // The icons of NOVRIX_S.DLL, large and small: the stop icon, the information
    // icon (hint area), the alert and the notice.
    const auto icon = [&](int id, picture::IconSymbol symbol) {
        options.icons["icon #" + std::to_string(id)] = symbol;
    };
    icon(IDI_STOP, picture::IconSymbol::Stop);
    icon(IDI_STOP_SMALL, picture::IconSymbol::Stop);
    icon(IDI_INFO, picture::IconSymbol::Information);
    icon(IDI_INFO_SMALL, picture::IconSymbol::Information);
    icon(IDI_ALERT, picture::IconSymbol::Warning);
    icon(IDI_ALERT_SMALL, picture::IconSymbol::Warning);
    icon(IDI_NOTICE, picture::IconSymbol::Information);
    icon(IDI_NOTICE_SMALL, picture::IconSymbol::Information);
    picture::Picture drawn = picture::RenderWindow(window, options);
    return picture::WritePng(drawn.canvas, path, error);
}

}  // namespace novrix
