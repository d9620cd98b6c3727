#include "Score.h"

#include "install/ProgramFiles.h"
#include "system/Paths.h"
#include "text/Gbk.h"
#include "text/LineFile.h"

namespace orvanex {

namespace {

const wchar_t* const kCounts[] = {L"零", L"一", L"二", L"三", L"四", L"五", L"六", L"七", L"八", L"九"};
const wchar_t* const kOrdinals[] = {L"第一句", L"第二句", L"第三句", L"第四句", L"第五句", L"第六句"};

// The digits of a phrase, its bars two spaces apart.
std::wstring barred(const Phrase& phrase) {
    const std::string digits = phrase.digits();
    std::wstring text;
    size_t at = 0;
    for (const int length : phrase.bars) {
        if (at) text += L"  ";
        for (int i = 0; i < length && at < digits.size(); ++i) text += static_cast<wchar_t>(digits[at++]);
    }
    return text;
}

}  // namespace

std::wstring render(const Piece& piece) {
    std::wstring form;
    for (const std::wstring& label : piece.form) form += (form.empty() ? L"" : L" ") + label;
    std::wstring text = L"OrvaneX模型作品《" + piece.title + L"》\r\n";
    text += L"数字是音符：do至ti，零为休止；其余文字都是注释。\r\n";
    text += L"曲式" + form + L"，大调，每小节" + kCounts[piece.bar % 10] + L"拍，共" +
            kCounts[piece.phrases.size() % 10] + L"个乐句\r\n";
    for (size_t i = 0; i < piece.phrases.size() && i < std::size(kOrdinals); ++i)
        text +=
            std::wstring(kOrdinals[i]) + L"（" + piece.form[i] + L"）  " + barred(piece.phrases[i]) + L"\r\n";
    text += L"（终）\r\n";
    return text;
}

uint32_t writeScore(const std::wstring& path, const std::wstring& score) {
    const std::wstring folder = sys::parentOf(path);
    if (const uint32_t error = folder.empty() ? 0 : sys::createFolders(folder)) return error;
    return text::writeBytes(path, text::toGbk(score));
}

std::wstring scorePathFor(const std::wstring& modelFolder) {
    return sys::parentOf(modelFolder) + L"\\" + install::AiResult;
}

}  // namespace orvanex
