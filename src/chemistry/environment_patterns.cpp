#include "chemistry/environment_patterns.h"

#include <algorithm>

#include "chemistry/lewis/chem_graph.h"
#include "common/console.h"
#include "common/text.h"
#include "molecule/data_file.h"

namespace tarvex {
namespace {

const std::string kNoLabel;

const std::string& LabelOf(const std::vector<std::string>& labels, int atom) {
  return atom >= 0 && atom < static_cast<int>(labels.size()) ? labels[atom] : kNoLabel;
}

const BondMap::List kNoNeighbours;

const BondMap::List& NeighboursOf(const BondMap& bonds, int atom) {
  const BondMap::List* list = bonds.find(atom);
  return list ? *list : kNoNeighbours;
}

bool IsSymbolChar(char c) { return IsAlpha(c) || c == '*'; }

}  // namespace

std::vector<std::string> SplitPattern(std::string_view text) {
  std::vector<std::string> parts;
  size_t open = text.find('(');
  if (open == std::string_view::npos) return parts;
  int depth = 1;
  std::string current;
  for (size_t k = open + 1; k < text.size(); ++k) {
    char c = text[k];
    if (c == '(') {
      ++depth;
    } else if (c == ')') {
      if (--depth == 0) break;
    } else if (c == ',' && depth == 1) {
      parts.push_back(std::move(current));
      current.clear();
      continue;
    }
    current.push_back(c);
  }
  if (!current.empty() || !parts.empty()) parts.push_back(std::move(current));
  return parts;
}

std::string TermSymbol(std::string_view term) {
  size_t k = 0;
  if (!term.empty() && (IsDigit(term[0]) || term[0] == '!')) k = 1;
  size_t end = k;
  while (end < term.size() && IsSymbolChar(term[end])) ++end;
  return std::string(term.substr(k, end - k));
}

int PatternDepth(std::string_view text) {
  int depth = 0;
  int deepest = 0;
  for (char c : text) {
    if (c == '(') deepest = std::max(deepest, ++depth);
    if (c == ')' && depth > 0) --depth;
  }
  return deepest;
}

int TermCount(std::string_view term) { return !term.empty() && IsDigit(term[0]) ? term[0] - '0' : -1; }

// The literal reading of the notation: every ordering of the neighbours is
// listed (sorted first, then next_permutation) and the items are checked in
// turn against it.
bool MatchEnvironment(const std::vector<std::string>& labels, const BondMap& bonds, int atom, std::string_view pattern,
                      int first_alternative) {
  std::vector<std::string> alternatives = SplitPattern(pattern);
  if (alternatives.empty()) {
    Warn("parm_list empty");
    return true;
  }
  const std::string& label = LabelOf(labels, atom);
  for (size_t k = 0; k < alternatives.size(); ++k) {
    if (static_cast<int>(k) < first_alternative) continue;
    const std::string& alternative = alternatives[k];
    std::string symbol = TermSymbol(alternative);
    bool head = !alternative.empty() && alternative[0] == '!' ? label != symbol : symbol == "*" || label == symbol;
    if (!head) continue;
    const int count = TermCount(alternative);
    const BondMap::List& neighbours = NeighboursOf(bonds, atom);
    const int n = static_cast<int>(neighbours.size());
    if (n != count) return count == -1;
    std::vector<std::string> items = SplitPattern(alternative);
    if (items.empty()) return true;
    if (items.size() > neighbours.size()) return false;
    std::vector<int> order(neighbours.begin(), neighbours.end());
    std::sort(order.begin(), order.end());
    do {
      bool all = true;
      for (size_t i = 0; i < items.size() && all; ++i) {
        const std::string& item = items[i];
        const int neighbour = order[i];
        if (item == "*") continue;
        const std::string& other = LabelOf(labels, neighbour);
        const std::string item_symbol = TermSymbol(item);
        if (item[0] == '!') {
          all = other != item_symbol;
        } else {
          all = (item_symbol == "*" || other == item_symbol) &&
                MatchEnvironment(labels, bonds, neighbour, "(" + item + ")", 0);
        }
      }
      if (all) return true;
    } while (std::next_permutation(order.begin(), order.end()));
    return false;
  }
  return false;
}

CompiledPattern::CompiledPattern(std::string_view pattern) {
  for (const std::string& alternative : SplitPattern(pattern)) alternatives_.push_back(Parse(alternative, 1));
}

// Item lists nested deeper than kDeepestPattern are left out, so that a
// hostile text neither recurses without bound nor is copied once per level.
CompiledPattern::Term CompiledPattern::Parse(std::string_view text, int depth) {
  Term term;
  term.symbol = TermSymbol(text);
  term.count = TermCount(text);
  term.negated = !text.empty() && text[0] == '!';
  term.any = text == "*";
  term.any_symbol = term.symbol == "*";
  if (depth >= kDeepestPattern) return term;
  for (const std::string& item : SplitPattern(text)) term.items.push_back(Parse(item, depth + 1));
  return term;
}

bool CompiledPattern::HeadHolds(const Term& term, const std::string& label) {
  return term.negated ? !SameText(label, term.symbol) : term.any_symbol || SameText(label, term.symbol);
}

bool CompiledPattern::Decide(const Term& term, const std::vector<std::string>& labels, const BondMap& bonds, int atom) {
  const BondMap::List& neighbours = NeighboursOf(bonds, atom);
  if (static_cast<int>(neighbours.size()) != term.count) return term.count == -1;
  if (term.items.empty()) return true;
  if (term.items.size() > neighbours.size() || neighbours.size() > kMaxItems) return false;
  UsedNeighbours used{};
  return AssignItems(term, labels, bonds, neighbours, 0, used);
}

bool CompiledPattern::ItemHolds(const Term& item, const std::vector<std::string>& labels, const BondMap& bonds,
                                int neighbour) {
  if (item.any) return true;
  const std::string& label = LabelOf(labels, neighbour);
  if (item.negated) return !SameText(label, item.symbol);
  // "1*" and "2*(...)": any neighbour, with that many neighbours of its own.
  return (item.any_symbol || SameText(label, item.symbol)) && Decide(item, labels, bonds, neighbour);
}

// Some ordering of the neighbours satisfies every item exactly when the items
// can be given distinct neighbours that satisfy them: search the assignment.
bool CompiledPattern::AssignItems(const Term& term, const std::vector<std::string>& labels, const BondMap& bonds,
                                  const BondMap::List& neighbours, size_t item, UsedNeighbours& used) {
  if (item == term.items.size()) return true;
  for (size_t k = 0; k < neighbours.size(); ++k) {
    if (used[k] || !ItemHolds(term.items[item], labels, bonds, neighbours[k])) continue;
    used[k] = true;
    if (AssignItems(term, labels, bonds, neighbours, item + 1, used)) return true;
    used[k] = false;
  }
  return false;
}

bool CompiledPattern::Match(const std::vector<std::string>& labels, const BondMap& bonds, int atom,
                            size_t first_alternative) const {
  if (alternatives_.empty()) {
    Warn("parm_list empty");
    return true;
  }
  const std::string& label = LabelOf(labels, atom);
  for (size_t k = first_alternative; k < alternatives_.size(); ++k) {
    if (HeadHolds(alternatives_[k], label)) return Decide(alternatives_[k], labels, bonds, atom);
  }
  return false;
}

bool CompiledPattern::MatchAlternative(const std::vector<std::string>& labels, const BondMap& bonds, int atom,
                                       size_t alternative) const {
  if (alternative >= alternatives_.size()) return false;
  const Term& term = alternatives_[alternative];
  return HeadHolds(term, LabelOf(labels, atom)) && Decide(term, labels, bonds, atom);
}

bool CDataFile::MatchPattern(int atom, const std::string& pattern, int first_alternative) {
  return CompiledPattern(pattern).Match(snapshot_.atom_types, snapshot_.connection, atom,
                                        static_cast<size_t>(std::max(first_alternative, 0)));
}

}  // namespace tarvex
