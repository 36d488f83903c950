#include "driver/completion.h"

#include <memory>

#include "driver/analyzer.h"
#include "driver/driver.h"
#include "formats/file_types.h"

namespace tarvex {
namespace {

constexpr std::string_view kScriptHead =
    "# bash completion for tarvex: analyzer names, each analyzer's options,\n"
    "# flag words and file-type keywords. Written by tarvex_completion_gen from\n"
    "# the program's own tables; edit those, not this file.\n";

// The part that does not depend on the tables. The tables are global (-g):
// bash-completion sources this file from inside a function.
//   _tarvex_options[analyzer]          its option words
//   _tarvex_kinds["analyzer option"]   what follows the option (completion.h)
//   _tarvex_flag_words["analyzer -f"]  the flag words of a flag list
// Keywords and flag words are matched after upper-casing, so a word begun
// in lower case is completed in lower case.
constexpr std::string_view kScriptBody = R"(
_tarvex_reply() {
  mapfile -t COMPREPLY < <(compgen -W "$1" -- "$2")
}

_tarvex_keywords() {
  local words=$1
  [[ $2 == [a-z]* ]] && words=${words,,}
  _tarvex_reply "$words" "$2"
}

_tarvex_files() {
  compopt -o filenames 2>/dev/null
  mapfile -t COMPREPLY < <(compgen -f -- "$1")
}

_tarvex() {
  local cur=${COMP_WORDS[COMP_CWORD]}
  local i=1 word
  # Global options stand before the analyzer name; -f takes the parameter
  # file (also inside a cluster such as -fv).
  while (( i < COMP_CWORD )); do
    word=${COMP_WORDS[i]}
    [[ $word == -* ]] || break
    (( i++ ))
    [[ $word == -*f* ]] && (( i++ ))
  done
  if (( i > COMP_CWORD )); then
    _tarvex_files "$cur"
    return
  fi
  if (( i == COMP_CWORD )); then
    if [[ $cur == --* ]]; then
      _tarvex_reply "$_tarvex_long_options" "$cur"
    elif [[ $cur == -* ]]; then
      _tarvex_reply "-h -v -f" "$cur"
    else
      _tarvex_reply "$_tarvex_analyzers" "$cur"
    fi
    return
  fi
  local analyzer=${COMP_WORDS[i]}
  local options=${_tarvex_options[$analyzer]-}
  if [[ -z $options ]]; then
    _tarvex_files "$cur"
    return
  fi
  # The option the current word follows, and how many words after it.
  local k=$(( COMP_CWORD - 1 ))
  while (( k > i )) && [[ ${COMP_WORDS[k]} != -* ]]; do (( k-- )); done
  if [[ $cur == --* ]]; then
    _tarvex_reply "$_tarvex_long_options" "$cur"
    return
  fi
  if [[ $cur == -* ]] || (( k == i )); then
    _tarvex_reply "$options" "$cur"
    return
  fi
  local option=${COMP_WORDS[k]}
  local after=$(( COMP_CWORD - k ))
  case ${_tarvex_kinds["$analyzer $option"]-} in
    switch) _tarvex_reply "$options" "$cur" ;;
    word) if (( after == 1 )); then _tarvex_files "$cur"; else _tarvex_reply "$options" "$cur"; fi ;;
    typed)
      if (( after == 1 )); then _tarvex_files "$cur"
      elif (( after == 2 )); then _tarvex_keywords "$_tarvex_types" "$cur"
      else _tarvex_reply "$options" "$cur"; fi ;;
    typeds) if (( after % 2 )); then _tarvex_files "$cur"; else _tarvex_keywords "$_tarvex_types" "$cur"; fi ;;
    number) if (( after == 1 )); then COMPREPLY=(); else _tarvex_reply "$options" "$cur"; fi ;;
    numbers) COMPREPLY=() ;;
    flags) _tarvex_keywords "${_tarvex_flag_words["$analyzer $option"]}" "$cur" ;;
    *) _tarvex_files "$cur" ;;
  esac
}

complete -F _tarvex tarvex
)";

// The keywords of every format, one space between them ("PDB, ENT" in the
// table), then the everyday names (PRMTOP, RST7).
std::string TypeKeywords() {
  std::string words;
  for (const FileFormat& format : FileFormats()) {
    std::string_view keywords = format.keywords;
    while (!keywords.empty()) {
      const size_t comma = keywords.find(", ");
      if (!words.empty()) words += ' ';
      words.append(keywords.substr(0, comma));
      keywords.remove_prefix(comma == std::string_view::npos ? keywords.size() : comma + 2);
    }
  }
  for (const EverydayName& name : EverydayNames()) words.append(" ").append(name.keyword);
  return words;
}

std::string LongOptionWords() {
  std::string words;
  for (const LongOption& option : LongOptions()) words.append(words.empty() ? "" : " ").append(option.word);
  return words;
}

// One analyzer's rows of the three tables.
struct AnalyzerRows {
  std::string options = "-h -v";
  std::string kinds;
  std::string flag_words;
};

void AddOptionWord(AnalyzerRows& rows, std::string_view analyzer, const Option& option, bool typed_form) {
  std::string word = "-";
  word.append(option.letters).append(typed_form ? "t" : "");
  std::string key = "[\"";
  key.append(analyzer).append(" ").append(word).append("\"]=");
  rows.options.append(" ").append(word);
  rows.kinds.append("  ").append(key).append(CompletionKind(option, typed_form)).append("\n");
  if (option.takes != Takes::kFlagWords) return;
  std::string words;
  for (const FlagWord& flag : option.flag_words) words.append(words.empty() ? "" : " ").append(flag.word);
  rows.flag_words.append("  ").append(key).append("\"").append(words).append("\"\n");
}

AnalyzerRows RowsOf(const AnalyzerEntry& entry) {
  AnalyzerRows rows;
  const std::unique_ptr<CAnalyzer> analyzer = entry.create();
  for (const Option& option : analyzer->Options().options) {
    AddOptionWord(rows, entry.name, option, false);
    if (option.TakesTypedForm()) AddOptionWord(rows, entry.name, option, true);
  }
  return rows;
}

}  // namespace

std::string_view CompletionKind(const Option& option, bool typed_form) {
  switch (option.takes) {
    case Takes::kNothing:
    case Takes::kOptionalInteger:
      return "switch";
    case Takes::kInteger:
    case Takes::kReal:
    case Takes::kSelection:
      return "number";
    case Takes::kIntegers:
    case Takes::kNumbersOrNames:
    case Takes::kNames:
      return "numbers";
    case Takes::kWord:
      return "word";
    case Takes::kFlagWords:
      return "flags";
    case Takes::kFile:
      return typed_form ? "typed" : "word";
    case Takes::kFiles:
      return typed_form ? "typeds" : "words";
  }
  return "words";
}

std::string BashCompletionScript() {
  std::string names;
  std::string options;
  std::string kinds;
  std::string flag_words;
  for (const AnalyzerEntry& entry : AnalyzerTable()) {
    const AnalyzerRows rows = RowsOf(entry);
    names.append(names.empty() ? "" : " ").append(entry.name);
    options.append("  [").append(entry.name).append("]=\"").append(rows.options).append("\"\n");
    kinds += rows.kinds;
    flag_words += rows.flag_words;
  }
  std::string script(kScriptHead);
  script += "\n_tarvex_analyzers=\"" + names + "\"\n";
  script += "_tarvex_types=\"" + TypeKeywords() + "\"\n";
  script += "_tarvex_long_options=\"" + LongOptionWords() + "\"\n";
  script += "declare -gA _tarvex_options=(\n" + options + ")\n";
  script += "declare -gA _tarvex_kinds=(\n" + kinds + ")\n";
  script += "declare -gA _tarvex_flag_words=(\n" + flag_words + ")\n";
  script += kScriptBody;
  return script;
}

}  // namespace tarvex
