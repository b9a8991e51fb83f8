#include "Formula.h"

#include <QDate>

namespace formula {
namespace {

struct Token {
    enum Kind { End, Field, Number, String, Word, Op, Open, Close, Comma } kind;
    QString text;
    int position;  // 1-based
};

class Parser {
public:
    Parser(const QString& text, const QList<Field>& fields) : m_text(text), m_fields(fields) {}

    bool tokenize() {
        int i = 0;
        const int n = int(m_text.size());
        while (i < n) {
            const QChar c = m_text[i];
            const int at = i + 1;
            if (c.isSpace()) {
                ++i;
            } else if (c == '{') {
                const int close = int(m_text.indexOf('}', i));
                if (close < 0) return fail(at, "A field is not closed with '}'");
                m_tokens.append({Token::Field, m_text.mid(i + 1, close - i - 1).trimmed(), at});
                i = close + 1;
            } else if (c.isDigit() || (c == '.' && i + 1 < n && m_text[i + 1].isDigit())) {
                int j = i;
                while (j < n && (m_text[j].isDigit() || m_text[j] == '.')) ++j;
                if (j < n && (m_text[j] == 'e' || m_text[j] == 'E')) {
                    int k = j + 1;
                    if (k < n && (m_text[k] == '+' || m_text[k] == '-')) ++k;
                    if (k < n && m_text[k].isDigit()) {
                        j = k;
                        while (j < n && m_text[j].isDigit()) ++j;
                    }
                }
                m_tokens.append({Token::Number, m_text.mid(i, j - i), at});
                i = j;
            } else if (c == '\'' || c == '"') {
                int j = i + 1;
                QString s;
                for (; j < n; ++j) {
                    if (m_text[j] == c) {
                        if (j + 1 < n && m_text[j + 1] == c) {
                            s += c;
                            ++j;
                            continue;
                        }
                        break;
                    }
                    s += m_text[j];
                }
                if (j >= n) return fail(at, "A text is not closed");
                m_tokens.append({Token::String, s, at});
                i = j + 1;
            } else if (c.isLetter()) {
                int j = i;
                while (j < n && (m_text[j].isLetterOrNumber() || m_text[j] == '_')) ++j;
                m_tokens.append({Token::Word, m_text.mid(i, j - i).toLower(), at});
                i = j;
            } else if (c == '(') {
                m_tokens.append({Token::Open, "(", at});
                ++i;
            } else if (c == ')') {
                m_tokens.append({Token::Close, ")", at});
                ++i;
            } else if (c == ',') {
                m_tokens.append({Token::Comma, ",", at});
                ++i;
            } else if (c == '<' || c == '>' || c == '=' || c == '-') {
                QString op(c);
                if (i + 1 < n && ((c == '<' && (m_text[i + 1] == '=' || m_text[i + 1] == '>')) ||
                                  (c == '>' && m_text[i + 1] == '=')))
                    op += m_text[i + 1];
                m_tokens.append({Token::Op, op, at});
                i += int(op.size());
            } else {
                return fail(at, QString("Unexpected character '%1'").arg(c));
            }
        }
        m_tokens.append({Token::End, QString(), int(m_text.size()) + 1});
        return true;
    }

    std::optional<Compiled> parse() {
        if (!tokenize()) return std::nullopt;
        Compiled out;
        if (peek().kind == Token::End) return out;
        QString where;
        if (!orExpr(&where)) return std::nullopt;
        if (peek().kind != Token::End) {
            fail(peek().position, "Expected 'and', 'or' or the end of the formula");
            return std::nullopt;
        }
        out.where = where;
        out.params = m_params;
        return out;
    }

    Error error() const { return m_error; }

private:
    const Token& peek(int ahead = 0) const { return m_tokens[std::min(m_pos + ahead, int(m_tokens.size()) - 1)]; }
    const Token& next() { return m_tokens[std::min(m_pos++, int(m_tokens.size()) - 1)]; }
    bool isWord(const char* w) const { return peek().kind == Token::Word && peek().text == w; }

    bool fail(int position, const QString& message) {
        if (m_error.message.isEmpty()) m_error = {position, message};
        return false;
    }

    bool orExpr(QString* out) {
        QString left;
        if (!andExpr(&left)) return false;
        while (isWord("or")) {
            next();
            QString right;
            if (!andExpr(&right)) return false;
            left = left + " OR " + right;
        }
        *out = left;
        return true;
    }

    bool andExpr(QString* out) {
        QString left;
        if (!notExpr(&left)) return false;
        while (isWord("and")) {
            next();
            QString right;
            if (!notExpr(&right)) return false;
            left = left + " AND " + right;
        }
        *out = left;
        return true;
    }

    bool notExpr(QString* out) {
        if (isWord("not")) {
            next();
            QString inner;
            if (!notExpr(&inner)) return false;
            *out = "NOT " + inner;
            return true;
        }
        return primary(out);
    }

    bool primary(QString* out) {
        if (peek().kind == Token::Open) {
            next();
            QString inner;
            if (!orExpr(&inner)) return false;
            if (peek().kind != Token::Close) return fail(peek().position, "Expected ')'");
            next();
            *out = "(" + inner + ")";
            return true;
        }
        return comparison(out);
    }

    const Field* field(const Token& t) {
        for (const Field& f : m_fields)
            if (f.qualified.compare(t.text, Qt::CaseInsensitive) == 0) return &f;
        return nullptr;
    }

    bool comparison(QString* out) {
        const Token t = next();
        if (t.kind != Token::Field) return fail(t.position, "Expected a field in braces, such as {ScoreSummary.Average}");
        const Field* f = field(t);
        if (!f) return fail(t.position, QString("This report has no field {%1}").arg(t.text));
        const QString column = f->isDate ? "date(" + f->sql + ")" : f->sql;
        if (isWord("in")) {
            next();
            bool parenthesised = false;
            if (peek().kind == Token::Open) {
                parenthesised = true;
                next();
            }
            QVariant low, high;
            if (!value(*f, &low)) return false;
            if (!isWord("to")) return fail(peek().position, "Expected 'to' in the range");
            next();
            if (!value(*f, &high)) return false;
            if (parenthesised) {
                if (peek().kind != Token::Close) return fail(peek().position, "Expected ')' after the range");
                next();
            }
            m_params << low << high;
            *out = "(" + column + " BETWEEN ? AND ?)";
            return true;
        }
        const Token op = next();
        static const QStringList ops{"=", "<>", "<", "<=", ">", ">="};
        if (op.kind != Token::Op || !ops.contains(op.text))
            return fail(op.position, "Expected a comparison (=, <>, <, <=, >, >=) or 'in'");
        QVariant v;
        if (!value(*f, &v)) return false;
        m_params << v;
        *out = column + " " + op.text + " ?";
        return true;
    }

    bool value(const Field& f, QVariant* out) {
        const Token t = next();
        if (t.kind == Token::Op && t.text == "-" && peek().kind == Token::Number) {
            const Token number = next();
            *out = -number.text.toDouble();
            return true;
        }
        if (t.kind == Token::Number) {
            bool ok = false;
            const double v = t.text.toDouble(&ok);
            if (!ok) return fail(t.position, QString("'%1' is not a number").arg(t.text));
            *out = v;
            return true;
        }
        if (t.kind == Token::String) {
            *out = t.text;
            return true;
        }
        if (t.kind == Token::Word && t.text == "date") {
            if (next().kind != Token::Open) return fail(t.position, "Expected '(' after Date");
            int parts[3];
            for (int i = 0; i < 3; ++i) {
                bool negative = false;
                if (peek().kind == Token::Op && peek().text == "-") {
                    negative = true;
                    next();
                }
                const Token n = next();
                if (n.kind != Token::Number) return fail(n.position, "Date takes a year, a month and a day");
                parts[i] = (negative ? -1 : 1) * n.text.toInt();
                if (i < 2 && next().kind != Token::Comma) return fail(n.position, "Date takes a year, a month and a day");
            }
            if (next().kind != Token::Close) return fail(t.position, "Expected ')' to close Date");
            const QDate d(parts[0], parts[1], parts[2]);
            if (!d.isValid()) return fail(t.position, "This date does not exist");
            if (!f.isDate) return fail(t.position, QString("{%1} holds no dates").arg(f.qualified));
            *out = d.toString("yyyy-MM-dd");
            return true;
        }
        return fail(t.position, "Expected a number, a text in quotes or Date(year, month, day)");
    }

    QString m_text;
    const QList<Field>& m_fields;
    QList<Token> m_tokens;
    int m_pos = 0;
    QVariantList m_params;
    Error m_error{0, {}};
};

}  // namespace

std::optional<Compiled> Compile(const QString& formula, const QList<Field>& fields, Error* error) {
    Parser p(formula, fields);
    auto result = p.parse();
    if (!result && error) *error = p.error();
    return result;
}

}  // namespace formula
