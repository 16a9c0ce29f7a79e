#include "host/store/statement_cache.h"

#include "host/base/text.h"

namespace quillet::host {
namespace {

void BindValue(Statement& statement, int index, const SqlValue& value) {
  switch (value.kind) {
    case SqlValue::Kind::Text:
      statement.Bind(index, value.text);
      return;
    case SqlValue::Kind::Integer:
      statement.Bind(index, value.integer);
      return;
    case SqlValue::Kind::Real:
      statement.Bind(index, value.real);
      return;
    case SqlValue::Kind::Null:
      statement.BindNull(index);
      return;
  }
  statement.BindNull(index);
}

// Leaves the statement reset however its use ends, so that no statement
// holds a transaction open between calls.
class ResetAtEnd {
 public:
  explicit ResetAtEnd(Statement& statement) : statement_(statement) {}
  ~ResetAtEnd() { statement_.Reset(); }
  ResetAtEnd(const ResetAtEnd&) = delete;
  ResetAtEnd& operator=(const ResetAtEnd&) = delete;

 private:
  Statement& statement_;
};

}  // namespace

Statement& StatementCache::Prepared(const std::string& shape) {
  if (auto found = statements_.find(shape); found != statements_.end()) return found->second;
  Statement statement = db_.Prepare(shape);
  const std::string_view tail = TrimText(statement.Tail());
  // The module's text is run as one statement; more would run only the first.
  if (!tail.empty() && tail != ";") throw HostError("more than one statement");
  // The module's statements come in few shapes, so a full cache is rare: it
  // starts over rather than keeping an order of use.
  if (statements_.size() >= kCapacity) statements_.clear();
  return statements_.emplace(shape, std::move(statement)).first->second;
}

std::int64_t StatementCache::Run(const ParameterizedSql& sql) {
  Statement& statement = Prepared(sql.shape);
  ResetAtEnd reset(statement);
  statement.ClearBindings();
  for (std::size_t i = 0; i < sql.values.size(); ++i) {
    BindValue(statement, static_cast<int>(i + 1), sql.values[i]);
  }
  // Stepped to its end before the reset: a reset part-way would leave the
  // rest of its work undone.
  std::int64_t first = 0;
  if (statement.Step()) {
    first = statement.Integer(0);
    while (statement.Step()) {
    }
  }
  return first;
}

}  // namespace quillet::host
