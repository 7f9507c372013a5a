#pragma once

// The two records through which a block registers with the host's lists. One
// record of each kind serves a whole registration, filled anew for each
// variable or equation.

#include "model_definition.h"
#include "rt_records.h"

class ZELEOBlock;

class VariableRecord {
  public:
    // Writes the record kind (14) and the zero field once.
    VariableRecord();
    // Writes the upper-cased symbol as the name, and the initial value and
    // bounds; a value the model file does not give is written as the host's
    // RTVAR_NOT_GIVEN, so that no variable inherits the previous one's.
    void fill(const VariableDef& variable);
    const rtvar_init_t& fields() const { return fields_; }

  private:
    rtvar_init_t fields_{};
};

class EquationRecord {
  public:
    // Writes the record kind (255) once; `owner` is the registering block.
    explicit EquationRecord(ZELEOBlock* owner);
    // Writes the upper-cased equation name, the fixed attributes and `number`.
    void fill(const ExprNode& equation, std::int32_t number);
    const rteqn_init_t& fields() const { return fields_; }

  private:
    rteqn_init_t fields_{};
};

// Writes `text` into a record's name field: the bytes up to its first NUL,
// shortened to fit, always NUL-terminated. Nothing is written past the field.
void write_name_field(char (&field)[RT_NAME_FIELD], const std::string& text);
