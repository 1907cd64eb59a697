// The window's fixed layout: every control with its position and size (at
// 96 DPI), tab order (creation order within its parent), font and colours,
// and the wiring of the controls' events to the window's handlers.
#include "main/Main.h"

#include "main/MainConstants.h"

#include <chrono>

namespace {

constexpr int kClientWidth = 555;
constexpr int kClientHeight = 337;
constexpr UINT kIconResource = 1;

using namespace mainwindow;

constexpr BYTE kHangulCharset = HANGUL_CHARSET;

const ui::FontSpec kWindowFont{L"Tahoma", 11, false, DEFAULT_CHARSET, CLR_INVALID};
const ui::FontSpec kTitleFont{L"굴림", 35, true, kHangulCharset, CLR_INVALID};
const ui::FontSpec kStatusFont{L"Tahoma", 19, false, DEFAULT_CHARSET, kSilver};

const ui::FormOptions kFormOptions{L"TFrmMain", kClientWidth, kClientHeight, true,
                                   false,       false,        kIconResource};
const ui::PanelStyle kHeaderStyle{kWhite, ui::Bevel::None, ui::Bevel::None, true};
const ui::PanelStyle kHeaderLogoStyle{CLR_INVALID, ui::Bevel::None, ui::Bevel::None, false};
const ui::PanelStyle kStatusStyle{kBlack, ui::Bevel::None, ui::Bevel::Lowered, false};

constexpr wchar_t kProductName[] = L"미르벡스";
constexpr wchar_t kLogoResource[] = L"LOGO";
constexpr wchar_t kDelayEditorBlank[] = L"  :  :  .  ";

} // namespace

TFrmMain::TFrmMain(IUserInput& input, IUserNotice& notice, ITimerPeriod& timerPeriod,
                   IFileSystem& files)
    : ui::TForm(kFormOptions, kProductName, kWindowFont),
      PanelHeader(this, this, {0, 0, 555, 65}, kHeaderStyle),
      LabelTitle(this, &PanelHeader, {16, 16, 144, 35}, kProductName),
      PanelHeaderLogo(this, &PanelHeader, {449, 0, 106, 63}, kHeaderLogoStyle),
      ImgLogo(this, &PanelHeaderLogo, {0, 19, 99, 32}, true),
      GroupBox1(this, this, {8, 71, 201, 114}, L"마우스 설정"),
      Label1(this, &GroupBox1, {18, 31, 33, 13}, L"마우스"),
      Label2(this, &GroupBox1, {18, 58, 22, 13}, L"클릭"),
      Label3(this, &GroupBox1, {18, 85, 33, 13}, L"딜레이"),
      InputMouse(this, &GroupBox1, {90, 28, 95, 21}, {L"왼쪽", L"오른쪽", L"휠"}),
      InputClick(this, &GroupBox1, {90, 55, 95, 21}, {L"싱글", L"더블"}),
      InputInterval(this, &GroupBox1, {90, 82, 93, 21}, ui::LocaleTimeSeparator()),
      GroupBox2(this, this, {8, 191, 201, 82}, L"단축키 설정"),
      Label4(this, &GroupBox2, {18, 31, 48, 13}, L"실행/종료"),
      Label5(this, &GroupBox2, {18, 57, 58, 13}, L"레코드 추가"),
      InputHotKeyRun(this, &GroupBox2, {90, 28, 95, 21}),
      InputHotKeyAdd(this, &GroupBox2, {90, 53, 95, 21}),
      GroupBox3(this, this, {223, 71, 322, 202}, L"레코드"),
      ListArea(this, &GroupBox3, {17, 25, 288, 135},
               {{L"위치", 70}, {L"마우스", 50}, {L"클릭", 50}, {L"딜레이", 90}}),
      CheckRecord(this, &GroupBox3, {17, 169, 96, 17}, L"레코드 사용"),
      BtnClear(this, &GroupBox3, {240, 166, 65, 25}, L"비우기"),
      PanelMessage(this, this, {8, 279, 539, 50}, kStatusStyle), TmrClick(*this, 1000, false),
      Popup(this), N1(this, Popup, L"삭제"), input_(input), notice_(notice),
      timerPeriod_(timerPeriod), files_(files),
      random_(static_cast<std::minstd_rand::result_type>(
          std::chrono::steady_clock::now().time_since_epoch().count())) {
    LabelTitle.SetFont(kTitleFont);
    PanelMessage.SetFont(kStatusFont);
    InputInterval.SetText(kDelayEditorBlank);
    ImgLogo.SetPicture(ui::LoadPngResource(kLogoResource));
    ListArea.PopupMenu = &Popup;

    ImgLogo.OnClick = [this] { ImgLogoClick(&ImgLogo); };
    InputMouse.OnKeyPress = [this](wchar_t& key) { InputMouseKeyPress(&InputMouse, key); };
    InputClick.OnKeyPress = [this](wchar_t& key) { InputMouseKeyPress(&InputClick, key); };
    InputHotKeyRun.OnChange = [this] { InputHotKeyRunChange(&InputHotKeyRun); };
    InputHotKeyAdd.OnChange = [this] { InputHotKeyAddChange(&InputHotKeyAdd); };
    BtnClear.OnClick = [this] { BtnClearClick(&BtnClear); };
    N1.OnClick = [this] { N1Click(&N1); };
    TmrClick.OnEarly = [this] { TmrClickEarly(); };
    TmrClick.OnTimer = [this] { TmrClickTimer(&TmrClick); };
    OnHotKey = [this](WPARAM id) { WMHotKey(id); };
    OnClose = [this](ui::TCloseAction& action) { FormClose(this, action); };
    OnSessionEnd = [this] { FormSessionEnd(this); };
}

TFrmMain::~TFrmMain() = default;
