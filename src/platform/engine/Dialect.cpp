#include "Dialect.h"

#include <QList>

namespace engine::dialect {
namespace {

struct Token {
    enum Kind { Space, Word, Literal, Symbol, Open, Close } kind;
    QString text;
};

QList<Token> tokenize(const QString& sql) {
    QList<Token> out;
    int i = 0;
    const int n = sql.size();
    while (i < n) {
        const QChar c = sql[i];
        int start = i;
        if (c.isSpace()) {
            while (i < n && sql[i].isSpace()) ++i;
            out.append({Token::Space, sql.mid(start, i - start)});
        } else if (c == '\'' || c == '"') {
            ++i;
            while (i < n) {
                if (sql[i] == c) {
                    if (i + 1 < n && sql[i + 1] == c) {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            out.append({Token::Literal, sql.mid(start, i - start)});
        } else if (c == '[') {
            while (i < n && sql[i] != ']') ++i;
            if (i < n) ++i;
            out.append({Token::Word, sql.mid(start, i - start)});
        } else if (c.isLetterOrNumber() || c == '_' || c == '.') {
            while (i < n && (sql[i].isLetterOrNumber() || sql[i] == '_' || sql[i] == '.')) ++i;
            out.append({Token::Word, sql.mid(start, i - start)});
        } else if (c == '(') {
            ++i;
            out.append({Token::Open, "("});
        } else if (c == ')') {
            ++i;
            out.append({Token::Close, ")"});
        } else {
            ++i;
            out.append({Token::Symbol, QString(c)});
        }
    }
    return out;
}

// Index just past the operand that starts at `i` (skipping leading blanks), or -1.
int operandEnd(const QList<Token>& t, int i) {
    while (i < t.size() && t[i].kind == Token::Space) ++i;
    if (i >= t.size()) return -1;
    if (t[i].kind == Token::Word || t[i].kind == Token::Literal) return i + 1;
    if (t[i].kind == Token::Open) {
        int depth = 0;
        for (int j = i; j < t.size(); ++j) {
            if (t[j].kind == Token::Open) ++depth;
            if (t[j].kind == Token::Close && --depth == 0) return j + 1;
        }
    }
    return -1;
}

QString join(const QList<Token>& t, int from, int to) {
    QString s;
    for (int i = from; i < to; ++i) s += t[i].text;
    return s.trimmed();
}

QString upperWord(const Token& t) { return t.kind == Token::Word ? t.text.toUpper() : QString(); }

}  // namespace

QString translate(const QString& sql) {
    if (!sql.contains('&')) return sql;
    const QList<Token> t = tokenize(sql);
    QString out;
    int i = 0;
    while (i < t.size()) {
        // Try to read a chain "operand & operand [& operand ...]" starting at i.
        if (t[i].kind != Token::Space) {
            int end = operandEnd(t, i);
            if (end > 0) {
                QStringList parts{join(t, i, end)};
                int pos = end;
                for (;;) {
                    int j = pos;
                    while (j < t.size() && t[j].kind == Token::Space) ++j;
                    if (j >= t.size() || t[j].kind != Token::Symbol || t[j].text != "&") break;
                    int e = operandEnd(t, j + 1);
                    if (e < 0) break;
                    parts.append(join(t, j + 1, e));
                    pos = e;
                }
                if (parts.size() > 1) {
                    QStringList wrapped;
                    for (const QString& p : parts) {
                        QString inner = p.startsWith('(') ? "(" + translate(p.mid(1, p.size() - 2)) + ")" : p;
                        wrapped.append("COALESCE(" + inner + ",'')");
                    }
                    out += "(" + wrapped.join(" || ") + ")";
                    i = pos;
                    continue;
                }
                if (t[i].kind == Token::Open) {
                    // A parenthesised group that is not itself concatenated may contain chains.
                    out += "(" + translate(join(t, i + 1, end - 1)) + ")";
                    i = end;
                    continue;
                }
            }
        }
        out += t[i].text;
        ++i;
    }
    return out;
}

QString addFilter(const QString& sql, const QString& filter) {
    if (filter.trimmed().isEmpty()) return sql;
    const QList<Token> t = tokenize(sql);
    int depth = 0;
    int wherePos = -1;  // character offsets
    int tailPos = -1;
    int offset = 0;
    for (int i = 0; i < t.size(); ++i) {
        const Token& tok = t[i];
        if (tok.kind == Token::Open) ++depth;
        if (tok.kind == Token::Close) --depth;
        if (depth == 0 && tok.kind == Token::Word) {
            const QString w = upperWord(tok);
            if (w == "WHERE" && wherePos < 0) wherePos = offset;
            if ((w == "ORDER" || w == "GROUP") && tailPos < 0) tailPos = offset;
        }
        offset += tok.text.size();
    }
    if (tailPos < 0) tailPos = sql.size();
    const QString tail = sql.mid(tailPos);
    if (wherePos >= 0 && wherePos < tailPos) {
        const QString head = sql.left(wherePos);
        const QString cond = sql.mid(wherePos + 5, tailPos - wherePos - 5).trimmed();
        return head + "WHERE (" + cond + ") AND (" + filter + ") " + tail;
    }
    return sql.left(tailPos).trimmed() + " WHERE (" + filter + ") " + tail;
}

}  // namespace engine::dialect
