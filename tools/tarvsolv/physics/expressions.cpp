#include "physics/expressions.h"

#include <muParser.h>

#include <algorithm>
#include <stdexcept>

#include "formats/input_values.h"

namespace tarvsolv {

using formats::parseInt;
using formats::parseNumber;
using formats::splitTopLevel;
using formats::trimmed;

Table::Table(std::vector<double> arguments, std::vector<double> values)
    : arguments_(std::move(arguments)), values_(std::move(values)) {}

double Table::at(double argument) const {
    if (arguments_.empty()) return 0;
    if (argument <= arguments_.front()) return values_.front();
    if (argument >= arguments_.back()) return values_.back();
    const auto upper = std::upper_bound(arguments_.begin(), arguments_.end(), argument) - arguments_.begin();
    const double a0 = arguments_[upper - 1], a1 = arguments_[upper];
    const double v0 = values_[upper - 1], v1 = values_[upper];
    return a1 > a0 ? v0 + (v1 - v0) * (argument - a0) / (a1 - a0) : v1;
}

void TableSet::addLine(const std::string& line) {
    std::vector<std::string> items = splitTopLevel(line, ',');
    for (auto& item : items) item = trimmed(item);
    const auto bad = [&line](const std::string& why) {
        return std::runtime_error("table '" + line + "': " + why);
    };
    if (items.size() < 2 || (items[0].rfind("tabl", 0) != 0 && items[0].rfind("tabm", 0) != 0))
        throw bad("a table line starts with tabl or tabm, its number and the row count");
    const auto rows = parseInt(items[1]);
    if (!rows || *rows < 0 || items.size() != 2 + 2 * static_cast<std::size_t>(*rows))
        throw bad("the row count does not match the values");
    std::vector<std::pair<double, double>> pairs;
    for (int r = 0; r < *rows; ++r) {
        const auto a = parseNumber(items[2 + r]), v = parseNumber(items[2 + *rows + r]);
        if (!a || !v) throw bad("row " + std::to_string(r + 1) + " holds text that is not a number");
        pairs.emplace_back(*a, *v);
    }
    std::stable_sort(pairs.begin(), pairs.end(), [](auto& p, auto& q) { return p.first < q.first; });
    std::vector<double> arguments, values;
    for (auto [a, v] : pairs) {
        arguments.push_back(a);
        values.push_back(v);
    }
    // A later table of the same name replaces the earlier one: the last one made is the one in use.
    tables_.insert_or_assign(items[0], Table(std::move(arguments), std::move(values)));
}

const Table* TableSet::find(const std::string& name) const {
    const auto it = tables_.find(name);
    return it == tables_.end() ? nullptr : &it->second;
}

struct Expression::Parser {
    mu::Parser parser;
    // Variables live here so their addresses stay put.
    double x = 0, y = 0, z = 0, t = 1, T = 0;
    std::vector<std::pair<const Table*, bool>> usedTables;  // (table, by time?)
    std::vector<double> tableValues;
};

Expression::Expression(const std::string& text, const TableSet& tables) : text_(trimmed(text)) {
    if (const auto number = parseNumber(text_)) {
        constant_ = *number;
        return;
    }
    if (text_.empty())
        throw std::runtime_error("an empty value where a number, table name or formula is needed");
    auto p = std::make_unique<Parser>();
    try {
        p->parser.DefineVar("x", &p->x);
        p->parser.DefineVar("y", &p->y);
        p->parser.DefineVar("z", &p->z);
        p->parser.DefineVar("t", &p->t);
        p->parser.DefineVar("T", &p->T);
        p->tableValues.resize(tables.all().size());
        std::size_t slot = 0;
        std::vector<std::pair<const Table*, bool>> slots;
        for (const auto& [name, table] : tables.all()) {
            p->parser.DefineVar(name, &p->tableValues[slot++]);
            slots.emplace_back(&table, name.rfind("tabl", 0) == 0);
        }
        p->parser.SetExpr(text_);
        // Compiles and reports unknown names now rather than at the first evaluation.
        const mu::varmap_type used = p->parser.GetUsedVar();
        const mu::varmap_type defined = p->parser.GetVar();
        for (const auto& [name, address] : used)
            if (!defined.count(name))
                throw std::runtime_error("cannot read the value '" + text_ + "': '" + name +
                                         "' is neither a table nor one of the variables x, y, z, t, T");
        slot = 0;
        for (const auto& [name, table] : tables.all()) {
            (void)table;
            if (used.count(name))
                p->usedTables.emplace_back(slots[slot]);
            else
                p->usedTables.emplace_back(nullptr, false);
            ++slot;
        }
        p->parser.Eval();
    } catch (const mu::Parser::exception_type& e) {
        throw std::runtime_error("cannot read the value '" + text_ + "': " + e.GetMsg());
    }
    parser_ = std::move(p);
}

Expression::~Expression() = default;
Expression::Expression(Expression&&) noexcept = default;
Expression& Expression::operator=(Expression&&) noexcept = default;

double Expression::operator()(const EvalPoint& at) const {
    if (!parser_) return constant_;
    Parser& p = *parser_;
    p.x = at.x.x;
    p.y = at.x.y;
    p.z = at.x.z;
    p.t = at.t;
    p.T = at.T;
    for (std::size_t k = 0; k < p.usedTables.size(); ++k)
        if (const Table* table = p.usedTables[k].first)
            p.tableValues[k] = table->at(p.usedTables[k].second ? at.t : at.T);
    try {
        return p.parser.Eval();
    } catch (const mu::Parser::exception_type& e) {
        throw std::runtime_error("cannot evaluate '" + text_ + "': " + e.GetMsg());
    }
}

}  // namespace tarvsolv
