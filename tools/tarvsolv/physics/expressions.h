#pragma once
// Values typed into the add-on's dialogs: numbers, table names ("tabl"N: value over time,
// "tabm"N: value over temperature, linear between the rows, constant beyond the ends) or formulas
// read by muparser. Variables a formula may use: x, y, z (the position, in the model's length
// unit), t (time; 1 for a static step), T (temperature), and every table name, which stands for
// the table's value at the current t (load tables) or T (material tables).
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "fem/vec3.h"

namespace tarvsolv {

class Table {
  public:
    Table(std::vector<double> arguments, std::vector<double> values);
    double at(double argument) const;

  private:
    std::vector<double> arguments_;
    std::vector<double> values_;
};

// Tables by name, read from the TABLES lines "tabl1, 2, 0, 1, 0, 100".
class TableSet {
  public:
    // Throws std::runtime_error with the line's text when a table line cannot be read.
    void addLine(const std::string& line);
    const Table* find(const std::string& name) const;
    const std::map<std::string, Table>& all() const { return tables_; }

  private:
    std::map<std::string, Table> tables_;
};

struct EvalPoint {
    Vec3 x;
    double t = 1;
    double T = 0;
};

// A compiled value text. Constant texts are evaluated once.
class Expression {
  public:
    // Throws std::runtime_error naming the text when it is neither a number nor a valid formula.
    Expression(const std::string& text, const TableSet& tables);
    ~Expression();
    Expression(Expression&&) noexcept;
    Expression& operator=(Expression&&) noexcept;

    double operator()(const EvalPoint& at) const;
    bool isConstant() const { return !parser_; }
    const std::string& text() const { return text_; }

  private:
    struct Parser;
    std::string text_;
    double constant_ = 0;
    std::unique_ptr<Parser> parser_;
};

}  // namespace tarvsolv
