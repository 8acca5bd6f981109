// The global interface texts and their built-in Japanese.
#include "core/StringTable.h"

#include <array>
#include <cstdio>

#include "core/Error.h"
#include "core/Ini.h"

namespace {

struct Entry {
    StringId id;
    const wchar_t* builtIn;
};

constexpr std::array<Entry, StringTable::Count> kBuiltIn{{
    {RS_001, L"[前回ビルド時の構成]"},
    {RS_002, L"ビルドファイル出力フォルダが不正です。"},
    {RS_003, L"「PE Builderの環境設定」を確認して下さい。"},
    {RS_004, L"ソースフォルダが不正です。"},
    {RS_006, L"ソースフォルダにＯＳファイルが存在しません。"},
    {RS_007, L"「PE Builderの環境設定」を確認するか、XP-CDを挿入して下さい。"},
    {RS_008, L"プリセットを削除しますか？"},
    {RS_009, L"PE Builderの環境設定[%s](&R)"},
    {RS_010, L"Pluginフォルダの整列を行いますか？"},
    {RS_011, L"Pluginフォルダの整列を完了しました"},
    {RS_012, L"ISOイメージ出力フォルダが不正です。"},
    {RS_014, L"ビルドファイルが存在しません"},
    {RS_015, L"ISOファイルを作成します。よろしいですか？"},
    {RS_016, L"ソースフォルダにＯＳファイルが存在しません。"},
    {RS_018, L"ソースフォルダは未定義です"},
    {RS_019, L"ビルドファイル出力フォルダは未定義です"},
    {RS_020, L"ISOイメージ出力フォルダは未定義です"},
    {RS_021, L"カスタムフォルダは未定義です"},
    {RS_022, L"ログファイルは出力されていません"},
    {RS_023, L"Tovi's PE をビルドします。よろしいですか？"},
    {RS_100, L"エラー"},
    {RS_101, L"確認"},
    {RS_103, L"Tovi's PEのビルド"},
    {RS_201, L"インストールパスを選択して下さい"},
    {RS_202, L"PE Builderインストールパスが不正です"},
    {RS_301, L"名称未定"},
    {RS_302, L"プリセット名が不正です"},
    {RS_303, L"プリセット名は既に存在しています"},
    {RS_401, L"ソースパスが不正です"},
    {RS_402, L"ビルドファイル出力パスが不正です"},
    {RS_403, L"ISOファイル出力パスが不正です"},
    {RS_404, L"ISOファイル名が未指定です"},
    {RS_405, L"カスタムファイルパスが不正です"},
    {RS_406, L"ソースパスを選択して下さい"},
    {RS_407, L"ビルドファイル出力パスを選択して下さい"},
    {RS_408, L"ISOファイル出力パスを選択して下さい"},
    {RS_409, L"カスタムファイルパスを選択して下さい"},
    {RS_501, L"環境を初期化しました"},
    {RS_601, L"デフォルト"},
    {RS_602, L"プロファイル名が不正です"},
    {RS_603, L"プロファイル名は既に存在しています"},
    {RS_604, L"プロファイルの追加"},
    {RS_605, L"新しいプロファイル名を入力して下さい"},
    {RS_606, L"プロファイルの編集"},
    {RS_607, L"新しいプロファイル名を入力して下さい"},
    {RS_609, L"プロファイルを削除してもよろしいですか？"},
    {RS_701, L"プリセットのエクスポート"},
    {RS_702, L"プリセットのインポート"},
    {RS_703, L"プリセットファイル(*.kwpreset)|*.kwpreset|すべてのファイル(*.*)|*.*"},
    {RS_704, L"「%s」はプリセットファイルではありません。"},
    {RS_705, L"プリセットファイル「%s」は壊れています。"},
    {RS_706, L"(%s 行目)"},
    {RS_707, L"プリセットファイル「%s」は新しいバージョンの形式です。このバージョンでは読み込めません。"},
    {RS_708, L"次のプラグインはこの環境にありません。"},
    {RS_709, L"残りのプラグインをインポートしますか？"},
    {RS_710, L"新しいプリセット名を入力して下さい"},
    {RS_711, L"プリセット「%s」をエクスポートしました:"},
    {RS_712, L"プリセット「%s」をインポートしました。"},
    {RS_713, L"プロファイル「%s」は存在しません。"},
    {RS_714, L"プリセット「%s」は存在しません。"},
    {RS_715, L"インポートするプラグインも設定もありません。"},
}};

size_t IndexOf(StringId id)
{
    for (size_t i = 0; i < kBuiltIn.size(); ++i) {
        if (kBuiltIn[i].id == id) return i;
    }
    throw AppError(L"Unknown string id " + std::to_wstring(static_cast<int>(id)));
}

std::array<std::wstring, StringTable::Count>& Texts()
{
    static std::array<std::wstring, StringTable::Count> texts = [] {
        std::array<std::wstring, StringTable::Count> t;
        for (size_t i = 0; i < kBuiltIn.size(); ++i) t[i] = kBuiltIn[i].builtIn;
        return t;
    }();
    return texts;
}

}  // namespace

namespace StringTable {

const std::wstring& Text(StringId id) { return Texts()[IndexOf(id)]; }

std::vector<StringId> Ids()
{
    std::vector<StringId> ids;
    for (const Entry& entry : kBuiltIn) ids.push_back(entry.id);
    return ids;
}

const wchar_t* BuiltIn(StringId id) { return kBuiltIn[IndexOf(id)].builtIn; }

std::wstring KeyOf(StringId id)
{
    wchar_t key[8];
    std::swprintf(key, 8, L"RS_%03d", static_cast<int>(id));
    return key;
}

void Load(const IniDocument* languageFile)
{
    auto& texts = Texts();
    for (size_t i = 0; i < kBuiltIn.size(); ++i) {
        texts[i] = languageFile ? languageFile->ReadString(L"Strings", KeyOf(kBuiltIn[i].id), kBuiltIn[i].builtIn)
                                : kBuiltIn[i].builtIn;
    }
}

}  // namespace StringTable
