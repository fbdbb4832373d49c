#pragma once

// The two windows as declared data: every property and control, in twips from the top left
// corner of the client area. The window classes build themselves from these tables and change
// at run time only the sizes of the two text boxes, the timer's state and the output text.
// Each `name` is the object name the window's design gives the control; ui/README.md maps
// every one to the constant, class and member that stand for it here.

#include <optional>
#include <string_view>

namespace mibolan::ui {

struct Rgb {
  int red;
  int green;
  int blue;
};

struct FontDesign {
  std::u16string_view family;
  double pointSize;
};

struct TwipsRect {
  int left;
  int top;
  int width;
  int height;
};

struct ControlDesign {
  std::string_view name;
  TwipsRect rect;
  std::u16string_view text{};        // caption, label text or initial text
  std::optional<FontDesign> font{};  // none: the window's default font
  std::optional<Rgb> colour{};       // text colour; none: the system's
  std::string_view picture{};        // resource path of a picture control
  bool selected = false;             // option buttons
};

struct WindowDesign {
  std::string_view name;
  std::u16string_view caption;
  int clientWidth;   // twips
  int clientHeight;  // twips
  FontDesign defaultFont;
  std::optional<Rgb> background;  // none: the system's colour for window faces
};

inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kBlue{0, 0, 255};
inline constexpr Rgb kLightYellow{255, 255, 192};

// The default font of controls without a font of their own.
inline constexpr FontDesign kDefaultFont{u"宋体", 9.0};

// The two home pages behind the main window's pictures and advertisement line.
inline constexpr std::u16string_view kMakerHomePage = u"https://www.example.com/";
inline constexpr std::u16string_view kPartnerHomePage = u"https://www.example.org/";

namespace main_window {

inline constexpr WindowDesign kWindow{.name = "Form1",
                                      .caption = u"Mibolan5.0版",
                                      .clientWidth = 10710,
                                      .clientHeight = 8010,
                                      .defaultFont = kDefaultFont,
                                      .background = std::nullopt};

inline constexpr FontDesign kInputFont{u"宋体", 14.25};
inline constexpr FontDesign kOutputFont{u"宋体", 26.25};

inline constexpr ControlDesign kMakerBanner{
    .name = "Image1", .rect = {7920, 0, 7140, 900}, .picture = ":/assets/image1.gif"};
inline constexpr ControlDesign kConvertButton{.name = "Command1", .rect = {2760, 120, 1575, 615}, .text = u"生成拼音"};
inline constexpr ControlDesign kPinyinOnlyChoice{
    .name = "Option3", .rect = {4440, 240, 855, 375}, .text = u"rén", .selected = true};
inline constexpr ControlDesign kAnnotatedChoice{.name = "Option1", .rect = {5280, 240, 975, 375}, .text = u"人(rén)"};
inline constexpr ControlDesign kInputCaption{.name = "Label1", .rect = {120, 480, 1935, 375}, .text = u"文字框:"};
inline constexpr ControlDesign kInputBox{.name = "Text1",
                                         .rect = {0, 885, 10575, 1695},
                                         .text = u"欢迎访问Kavodi！在这个文本框里输入要产生拼音的文字！\r\n",
                                         .font = kInputFont};
inline constexpr ControlDesign kPartnerBanner{
    .name = "Image2", .rect = {11880, 2640, 3300, 435}, .picture = ":/assets/image2.gif"};
inline constexpr ControlDesign kOutputCaption{.name = "Label2", .rect = {120, 2760, 1935, 255}, .text = u"拼音框:"};
inline constexpr ControlDesign kAdvertisement{
    .name = "Label3",
    .rect = {1200, 2760, 11295, 255},
    .text = u"欢迎下载Kavodi的笔顺小画板，识字卡片屋，口算练习本，古诗朗读机。",
    .colour = kRed};
inline constexpr ControlDesign kOutputBox{.name = "Text2", .rect = {0, 3120, 10575, 4935}, .font = kOutputFont};

}  // namespace main_window

namespace splash_window {

inline constexpr WindowDesign kWindow{.name = "Form2",
                                      .caption = u"Form2",
                                      .clientWidth = 5415,
                                      .clientHeight = 3375,
                                      .defaultFont = kDefaultFont,
                                      .background = kLightYellow};

inline constexpr ControlDesign kTitle{.name = "lblTitle",
                                      .rect = {360, 240, 4725, 480},
                                      .text = u"Mibolan5.0版",
                                      .font = FontDesign{u"黑体", 24.0},
                                      .colour = kRed};
inline constexpr ControlDesign kAuthor{
    .name = "lblVersion", .rect = {480, 840, 1725, 225}, .text = u"软件作者：何嘉禾"};
inline constexpr ControlDesign kEmail{
    .name = "Label2", .rect = {480, 1080, 3975, 255}, .text = u"电子邮箱： hj@example.com hj@example.net"};
inline constexpr ControlDesign kWebsite{
    .name = "Label3", .rect = {480, 1340, 3975, 255}, .text = u"作者网站：https://www.example.com/", .colour = kRed};
inline constexpr ControlDesign kDescription{
    .name = "lblDescription",
    .rect = {120, 1650, 5085, 1680},
    .text =
        u"    Mibolan为小朋友和汉语学习者而写：把中文输入或粘贴到文字框里，按一下“生成拼音”，"
        u"每个汉字的拼音就连同声调一起出现在拼音框里，可以只看拼音，也可以字和拼音对照着读。",
    .font = FontDesign{u"宋体", 10.5},
    .colour = kBlue};

// The start-up timer: disabled at loading, enabled by the first resize, fires once.
inline constexpr std::string_view kTimerName = "Timer1";
inline constexpr int kTimerIntervalMs = 200;

}  // namespace splash_window

}  // namespace mibolan::ui
