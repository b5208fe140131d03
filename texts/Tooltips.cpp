#include "texts/Tooltips.h"

#include <algorithm>
#include <array>

#include "texts/TextCatalogue.h"

namespace velomira {
namespace {

constexpr std::array<TooltipRow, 17> kTooltips { {
    { 1194, "OPEN", "Open an existing file", "파일열기", "ファイルを開く" },
    { 1012, "SDOPEN", "Open an existing file on SD Card", "SD 카드 열기",
        "SDカード内のファイルを開く" },
    { 1121, "", "Zoom In", "확대", "ズームイン" },
    { 3021, "Zoom-", "Zoom Out", "축소", "ズームアウト" },
    { 1041, "ChgScrn", "Front View <-> Rear View", "화면전환", "前方⇔後方" },
    { 1201, "Format", "SD Card Format", "SD 카드 포맷", "SDカードフォーマット" },
    { 1195, "SETUP", "Device setup", "설정", "デバイス設定" },
    { 1198, "PRINT", "Print page", "출력", "ページ印刷" },
    { 1196, "GRAPH", "Show graphs in detail", "그래프 자세히 보기", "グラフ表示" },
    { 1020, "GMode", "Change graph mode", "그래프 모드 전환", "グラフモード変更" },
    { 1197, "DOWN", "Download data", "재생중인 파일 저장", "データダウンロード" },
    { 1199, "INFO", "About Software", "소프트웨어 정보", "ソフトウェアについて" },
    { 1007, "STOP", "Stop", "정지", "停止" },
    { 1005, "PRE", "Show previous file", "이전 파일", "前のファイルを表示" },
    { 1006, "PLAY", "Play / Pause", "재생 / 일시정지", "再生/一時停止" },
    { 1008, "", "Show next file", "다음 파일", "次のファイルを表示" },
    { 1206, "X2 ", "Play speed", "재생 속도", "速度再生" },
} };

} // namespace

std::span<const TooltipRow> TooltipTable()
{
    return kTooltips;
}

std::optional<std::string> TooltipText(int controlId, int language)
{
    const auto it = std::find_if(kTooltips.begin(), kTooltips.end(),
        [controlId](const TooltipRow& row) { return row.controlId == controlId; });
    if (it == kTooltips.end())
        return std::nullopt;
    return ChooseForm(TextChoice::ThreeWay, it->korean, it->english, it->japanese, language);
}

TooltipRegistration TooltipsToRegister(int language, int& lastTooltipLanguage)
{
    TooltipRegistration registration;
    if (language == lastTooltipLanguage)
        return registration;
    lastTooltipLanguage = language;
    registration.changed = true;
    for (const TooltipRow& row : kTooltips) {
        if (auto text
            = ChooseForm(TextChoice::ThreeWay, row.korean, row.english, row.japanese, language))
            registration.tips.emplace_back(row.controlId, std::move(*text));
    }
    return registration;
}

} // namespace velomira
