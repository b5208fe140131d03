#include "texts/RepairTexts.h"

#include "texts/LabelTable.h"

namespace velomira {
namespace {

constexpr LabelRow<RepairText> kRows[] = {
    { RepairText::RebuiltNote, "전원이 끊겨 중단된 녹화: 색인을 다시 만들어 재생합니다",
        "Cut short by a power loss: plays through a rebuilt index",
        "電源断で途切れた録画:再構築したインデックスで再生します" },
    { RepairText::SaveRepairedCopy, "복구한 사본 저장…", "Save repaired copy…",
        "修復したコピーを保存…" },
    { RepairText::Repairing, "복구한 사본을 쓰는 중…", "Writing the repaired copy…",
        "修復したコピーを書き込んでいます…" },
};

} // namespace

std::string RepairLabel(RepairText text, int language)
{
    return LabelFrom<RepairText>(kRows, text, language);
}

} // namespace velomira
