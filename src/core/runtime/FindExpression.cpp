#include "core/runtime/FindExpression.h"

#include "core/runtime/FindLexer.h"
#include "core/runtime/ItemValues.h"
#include "core/runtime/LikePattern.h"

#include <vector>

namespace runtime {

QString quotedLiteral(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('~'), QStringLiteral("~~")).replace(QLatin1Char('\''), QStringLiteral("~'"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}

namespace iv = itemvalues;

namespace {

using Row = QVector<QVariant>;

// A value met while testing a row. Text points into the row or into the expression.
struct Value {
    enum Kind { Null, Text, Number } kind = Null;
    const QString *text = nullptr;
    double number = 0;
};

Value valueOf(const QVariant &v)
{
    Value result;
    if (const QString *t = iv::textOf(v)) {
        if (!t->isNull()) {
            result.kind = Value::Text;
            result.text = t;
        }
        return result;
    }
    if (iv::isNull(v))
        return result;
    bool ok = false;
    const double d = iv::toNumber(v, &ok);
    if (ok) {
        result.kind = Value::Number;
        result.number = d;
    }
    return result;
}

bool numberOf(const Value &v, double *out)
{
    if (v.kind == Value::Number) {
        *out = v.number;
        return true;
    }
    if (v.kind == Value::Text) {
        bool ok = false;
        *out = iv::toNumber(QVariant(*v.text), &ok);
        return ok && !v.text->trimmed().isEmpty();
    }
    return false;
}

enum class CompareOp { Equal, NotEqual, Less, Greater, LessEqual, GreaterEqual };

bool holds(CompareOp op, int order)
{
    switch (op) {
    case CompareOp::Equal: return order == 0;
    case CompareOp::NotEqual: return order != 0;
    case CompareOp::Less: return order < 0;
    case CompareOp::Greater: return order > 0;
    case CompareOp::LessEqual: return order <= 0;
    case CompareOp::GreaterEqual: return order >= 0;
    }
    return false;
}

} // namespace

// Every node either is a condition (test) or gives a value (value).
struct FindExpression::Node {
    virtual ~Node() = default;
    virtual bool isCondition() const = 0;
    virtual bool test(const Row &) const { return false; }
    virtual Value value(const Row &) const { return Value(); }
};

namespace {

using Node = FindExpression::Node;
using NodePtr = std::unique_ptr<Node>;

struct ColumnNode : Node {
    explicit ColumnNode(int i) : index(i) {}
    bool isCondition() const override { return false; }
    Value value(const Row &row) const override
    {
        return index < row.size() ? valueOf(row.at(index)) : Value();
    }
    int index;
};

struct TextNode : Node {
    explicit TextNode(QString t) : text(std::move(t)) {}
    bool isCondition() const override { return false; }
    Value value(const Row &) const override
    {
        Value v;
        v.kind = Value::Text;
        v.text = &text;
        return v;
    }
    QString text;
};

struct NumberNode : Node {
    explicit NumberNode(double d) : number(d) {}
    bool isCondition() const override { return false; }
    Value value(const Row &) const override
    {
        Value v;
        v.kind = Value::Number;
        v.number = number;
        return v;
    }
    double number;
};

struct CompareNode : Node {
    CompareNode(CompareOp o, NodePtr l, NodePtr r) : op(o), left(std::move(l)), right(std::move(r)) {}
    bool isCondition() const override { return true; }
    bool test(const Row &row) const override
    {
        const Value a = left->value(row);
        const Value b = right->value(row);
        if (a.kind == Value::Null || b.kind == Value::Null)
            return false;
        if (a.kind == Value::Text && b.kind == Value::Text) {
            // Equality needs no order: comparing lengths first makes it cheap.
            if (op == CompareOp::Equal)
                return *a.text == *b.text;
            if (op == CompareOp::NotEqual)
                return *a.text != *b.text;
            return holds(op, iv::compareText(*a.text, *b.text));
        }
        double x = 0;
        double y = 0;
        if (!numberOf(a, &x) || !numberOf(b, &y))
            return false;
        return holds(op, x < y ? -1 : (y < x ? 1 : 0));
    }
    CompareOp op;
    NodePtr left;
    NodePtr right;
};

QString textForLike(const Value &v, QString *storage)
{
    if (v.kind == Value::Text)
        return *v.text;
    *storage = QString::number(v.number, 'g', 15);
    return *storage;
}

struct LikeNode : Node {
    LikeNode(NodePtr v, NodePtr p, bool neg) : subject(std::move(v)), pattern(std::move(p)), negated(neg)
    {
        // A literal pattern is compiled once for every row.
        if (auto *text = dynamic_cast<const TextNode *>(pattern.get()))
            compiled = std::make_unique<LikePattern>(text->text);
        else if (auto *number = dynamic_cast<const NumberNode *>(pattern.get()))
            compiled = std::make_unique<LikePattern>(QString::number(number->number, 'g', 15));
    }
    bool isCondition() const override { return true; }
    bool test(const Row &row) const override
    {
        const Value v = subject->value(row);
        if (v.kind == Value::Null)
            return false;
        QString storage;
        const QString text = textForLike(v, &storage);
        bool matched = false;
        if (compiled) {
            matched = compiled->matches(text);
        } else {
            const Value p = pattern->value(row);
            if (p.kind == Value::Null)
                return false;
            QString patternStorage;
            matched = LikePattern(textForLike(p, &patternStorage)).matches(text);
        }
        return matched != negated;
    }
    NodePtr subject;
    NodePtr pattern;
    std::unique_ptr<LikePattern> compiled;
    bool negated;
};

struct LogicNode : Node {
    explicit LogicNode(bool isAnd) : conjunction(isAnd) {}
    bool isCondition() const override { return true; }
    bool test(const Row &row) const override
    {
        for (const NodePtr &child : children) {
            if (child->test(row) != conjunction)
                return !conjunction;
        }
        return conjunction;
    }
    bool conjunction;
    std::vector<NodePtr> children;
};

struct NotNode : Node {
    explicit NotNode(NodePtr c) : child(std::move(c)) {}
    bool isCondition() const override { return true; }
    bool test(const Row &row) const override { return !child->test(row); }
    NodePtr child;
};

// ---- parser: or := and {OR and}; and := not {AND not}; not := NOT not | comparison;
// comparison := operand [op operand | [NOT] LIKE operand]; operand := ( or ) | name | literal

class Parser
{
public:
    Parser(const QString &text, const QList<ColumnDefinition> &columns)
        : m_lexer(text), m_columns(columns)
    {
        advance();
    }

    NodePtr parse()
    {
        if (m_token.kind == FindToken::End)
            return fail(QStringLiteral("empty expression"));
        NodePtr root = parseOr();
        if (!root)
            return nullptr;
        if (m_token.kind != FindToken::End)
            return fail(unexpected());
        if (!root->isCondition())
            return fail(QStringLiteral("the expression is not a condition"));
        return root;
    }

    QString error() const { return m_error; }

private:
    void advance()
    {
        m_token = m_lexer.next();
        if (m_token.kind == FindToken::Error && m_error.isEmpty())
            m_error = m_token.text;
    }

    bool isKeyword(const char *word) const
    {
        return m_token.kind == FindToken::Name
            && m_token.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }

    NodePtr fail(const QString &message)
    {
        if (m_error.isEmpty())
            m_error = message;
        return nullptr;
    }

    QString unexpected() const
    {
        if (m_token.kind == FindToken::End)
            return QStringLiteral("unexpected end of expression");
        return QStringLiteral("unexpected text at %1").arg(m_token.pos + 1);
    }

    NodePtr parseOr() { return parseChain(false); }

    // A run of operands joined by one operator: kept flat, so long chains need no recursion.
    NodePtr parseChain(bool isAnd)
    {
        NodePtr first = isAnd ? parseNot() : parseChain(true);
        const char *word = isAnd ? "and" : "or";
        if (!first || !isKeyword(word))
            return first;
        if (!first->isCondition())
            return fail(QStringLiteral("a condition is expected before %1").arg(m_token.pos + 1));
        auto logic = std::make_unique<LogicNode>(isAnd);
        logic->children.push_back(std::move(first));
        while (isKeyword(word)) {
            advance();
            NodePtr next = isAnd ? parseNot() : parseChain(true);
            if (!next)
                return nullptr;
            if (!next->isCondition())
                return fail(QStringLiteral("a condition is expected after '%1'").arg(QLatin1String(word)));
            logic->children.push_back(std::move(next));
        }
        return logic;
    }

    NodePtr parseNot()
    {
        if (!isKeyword("not"))
            return parseComparison();
        if (++m_depth > FindExpression::maxDepth)
            return fail(QStringLiteral("the expression is nested too deeply"));
        advance();
        NodePtr child = parseNot();
        --m_depth;
        if (!child)
            return nullptr;
        if (!child->isCondition())
            return fail(QStringLiteral("a condition is expected after 'not'"));
        return std::make_unique<NotNode>(std::move(child));
    }

    NodePtr parseComparison()
    {
        NodePtr left = parseOperand();
        if (!left)
            return nullptr;
        bool negatedLike = false;
        if (isKeyword("not")) {
            advance();
            if (!isKeyword("like"))
                return fail(QStringLiteral("'like' is expected after 'not' at %1").arg(m_token.pos + 1));
            negatedLike = true;
        }
        if (isKeyword("like")) {
            advance();
            NodePtr right = parseOperand();
            if (!right)
                return nullptr;
            if (left->isCondition() || right->isCondition())
                return fail(QStringLiteral("like needs values on both sides"));
            return std::make_unique<LikeNode>(std::move(left), std::move(right), negatedLike);
        }
        if (m_token.kind != FindToken::Op || m_token.text == u"-" || m_token.text == u"+")
            return left;
        CompareOp op = CompareOp::Equal;
        const QString &o = m_token.text;
        if (o == u"=") op = CompareOp::Equal;
        else if (o == u"<>") op = CompareOp::NotEqual;
        else if (o == u"<") op = CompareOp::Less;
        else if (o == u">") op = CompareOp::Greater;
        else if (o == u"<=") op = CompareOp::LessEqual;
        else op = CompareOp::GreaterEqual;
        advance();
        NodePtr right = parseOperand();
        if (!right)
            return nullptr;
        if (left->isCondition() || right->isCondition())
            return fail(QStringLiteral("a comparison needs values on both sides"));
        return std::make_unique<CompareNode>(op, std::move(left), std::move(right));
    }

    NodePtr parseOperand()
    {
        if (!m_error.isEmpty())
            return nullptr;
        switch (m_token.kind) {
        case FindToken::LParen: {
            if (++m_depth > FindExpression::maxDepth)
                return fail(QStringLiteral("the expression is nested too deeply"));
            advance();
            NodePtr inner = parseOr();
            if (!inner)
                return nullptr;
            if (m_token.kind != FindToken::RParen)
                return fail(QStringLiteral("')' is missing at %1").arg(m_token.pos + 1));
            --m_depth;
            advance();
            return inner;
        }
        case FindToken::Text: {
            auto node = std::make_unique<TextNode>(m_token.text);
            advance();
            return node;
        }
        case FindToken::Number: {
            auto node = std::make_unique<NumberNode>(m_token.number);
            advance();
            return node;
        }
        case FindToken::Op:
            if (m_token.text == u"-" || m_token.text == u"+") {
                const bool negative = m_token.text == u"-";
                advance();
                if (m_token.kind != FindToken::Number)
                    return fail(QStringLiteral("a number is expected at %1").arg(m_token.pos + 1));
                auto node = std::make_unique<NumberNode>(negative ? -m_token.number : m_token.number);
                advance();
                return node;
            }
            return fail(unexpected());
        case FindToken::Name: {
            if (isKeyword("and") || isKeyword("or") || isKeyword("not") || isKeyword("like"))
                return fail(unexpected());
            const QString name = m_token.text;
            const qsizetype pos = m_token.pos;
            advance();
            if (m_token.kind == FindToken::LParen)
                return fail(QStringLiteral("unknown function '%1'").arg(name));
            for (int i = 0; i < m_columns.size(); ++i) {
                if (m_columns.at(i).name.compare(name, Qt::CaseInsensitive) == 0) {
                    if (!m_used.contains(i))
                        m_used.append(i);
                    return std::make_unique<ColumnNode>(i);
                }
            }
            return fail(QStringLiteral("unknown column '%1' at %2").arg(name).arg(pos + 1));
        }
        case FindToken::RParen:
        case FindToken::End:
        case FindToken::Error:
            break;
        }
        return fail(unexpected());
    }

    FindLexer m_lexer;
    const QList<ColumnDefinition> &m_columns;
    FindToken m_token;
    QString m_error;
    int m_depth = 0;
    QVector<int> m_used;

public:
    const QVector<int> &usedColumns() const { return m_used; }
};

} // namespace

FindExpression::FindExpression(const QString &text, const QList<ColumnDefinition> &columns)
    : m_text(text)
{
    Parser parser(m_text, columns);
    NodePtr root = parser.parse();
    if (root && parser.error().isEmpty()) {
        m_root = std::move(root);
        m_usedColumns = parser.usedColumns();
        if (const auto *compare = dynamic_cast<const CompareNode *>(m_root.get());
            compare && compare->op == CompareOp::Equal) {
            const auto *column = dynamic_cast<const ColumnNode *>(compare->left.get());
            const auto *text = dynamic_cast<const TextNode *>(compare->right.get());
            if (!column || !text) {
                column = dynamic_cast<const ColumnNode *>(compare->right.get());
                text = dynamic_cast<const TextNode *>(compare->left.get());
            }
            if (column && text) {
                m_equalityColumn = column->index;
                m_equalityText = text->text;
            }
        }
    } else {
        m_error = parser.error().isEmpty() ? QStringLiteral("invalid expression") : parser.error();
    }
}

FindExpression::~FindExpression() = default;

bool FindExpression::matches(const QVector<QVariant> &row) const
{
    return m_root && m_root->test(row);
}

} // namespace runtime
