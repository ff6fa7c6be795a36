#include "shell/RtfReader.h"

#include <QSet>
#include <QTextCursor>
#include <QTextDocument>
#include <vector>

namespace {

struct GroupState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = 24;
    int unicodeSkip = 1;   // characters after \u that stand in for it
    bool skip = false;     // inside a destination that holds no text
};

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

const QSet<QByteArray> &skippedDestinations()
{
    static const QSet<QByteArray> names = {"fonttbl", "colortbl", "stylesheet", "info", "pict", "header", "footer",
        "headerl", "headerr", "footerl", "footerr", "footnote", "object", "generator", "listtable", "listoverridetable",
        "rsidtbl", "themedata", "colorschememapping", "datastore", "latentstyles", "xmlnstbl", "filetbl", "revtbl",
        "field", "fldinst"};
    return names;
}

class Reader
{
public:
    Reader(const QByteArray &rtf, QTextDocument *document)
        : m_in(rtf)
        , m_cursor(document)
    {
        m_groups.emplace_back();
    }

    void read()
    {
        while (m_at < m_in.size()) {
            const char c = m_in[m_at++];
            if (c == '{')
                openGroup();
            else if (c == '}')
                closeGroup();
            else if (c == '\\')
                controlSymbolOrWord();
            else if (c != '\r' && c != '\n')
                text(QChar(uchar(c)));
        }
        flush();
    }

private:
    static constexpr size_t MaxDepth = 4096;   // deeper groups share the state of this depth

    GroupState &state() { return m_groups.back(); }

    void openGroup()
    {
        flush();
        if (m_groups.size() < MaxDepth)
            m_groups.push_back(state());
        else
            ++m_extraDepth;
    }

    void closeGroup()
    {
        flush();
        if (m_extraDepth > 0)
            --m_extraDepth;
        else if (m_groups.size() > 1)
            m_groups.pop_back();
        m_pendingSkip = 0;
    }

    void controlSymbolOrWord()
    {
        if (m_at >= m_in.size())
            return;
        const char c = m_in[m_at];
        if (!isLetter(c)) {
            ++m_at;
            symbol(c);
            return;
        }
        QByteArray word;
        while (m_at < m_in.size() && isLetter(m_in[m_at]) && word.size() < 32)
            word += m_in[m_at++];
        bool hasParameter = false;
        bool negative = false;
        qint64 parameter = 0;
        if (m_at < m_in.size() && m_in[m_at] == '-') {
            negative = true;
            ++m_at;
        }
        for (int digits = 0; m_at < m_in.size() && m_in[m_at] >= '0' && m_in[m_at] <= '9'; ++m_at, ++digits) {
            if (digits < 10)
                parameter = parameter * 10 + (m_in[m_at] - '0');
            hasParameter = true;
        }
        if (negative)
            parameter = -parameter;
        if (m_at < m_in.size() && m_in[m_at] == ' ')
            ++m_at;   // the delimiter belongs to the word
        controlWord(word, hasParameter, int(std::clamp<qint64>(parameter, -1000000, 1000000)));
    }

    void symbol(char c)
    {
        switch (c) {
        case '\\':
        case '{':
        case '}': text(QChar(uchar(c))); break;
        case '~': text(QChar(0xA0)); break;
        case '_': text(QChar('-')); break;
        case '*': state().skip = true; break;   // an optional destination we do not know
        case '\r':
        case '\n': paragraph(); break;
        case '\'': hexCharacter(); break;
        default: break;   // "\-" and unknown symbols show nothing
        }
    }

    void hexCharacter()
    {
        int value = 0;
        for (int i = 0; i < 2; ++i) {
            const int digit = m_at < m_in.size() ? hexValue(m_in[m_at]) : -1;
            if (digit < 0)
                return;
            value = value * 16 + digit;
            ++m_at;
        }
        text(QChar(value));
    }

    void controlWord(const QByteArray &word, bool hasParameter, int parameter)
    {
        GroupState &s = state();
        const bool on = !hasParameter || parameter != 0;
        if (skippedDestinations().contains(word)) {
            s.skip = true;
        } else if (word == "b") {
            setFormat(s.bold, on);
        } else if (word == "i") {
            setFormat(s.italic, on);
        } else if (word == "ul") {
            setFormat(s.underline, on);
        } else if (word == "ulnone") {
            setFormat(s.underline, false);
        } else if (word == "plain") {
            flush();
            s.bold = s.italic = s.underline = false;
            s.halfPoints = 24;
        } else if (word == "fs" && hasParameter && parameter > 0) {
            flush();
            s.halfPoints = std::min(parameter, 2000);
        } else if (word == "par") {
            paragraph();
        } else if (word == "line") {
            text(QChar::LineSeparator);
        } else if (word == "tab") {
            text(QChar('\t'));
        } else if (word == "uc" && hasParameter) {
            s.unicodeSkip = std::clamp(parameter, 0, 16);
        } else if (word == "u" && hasParameter) {
            const int code = parameter < 0 ? parameter + 65536 : parameter;
            text(QChar(char16_t(std::clamp(code, 0, 0xFFFF))));
            m_pendingSkip = s.unicodeSkip;
        }
    }

    void setFormat(bool &flag, bool on)
    {
        if (flag == on)
            return;
        flush();
        flag = on;
    }

    void text(QChar c)
    {
        if (state().skip)
            return;
        if (m_pendingSkip > 0) {   // the stand-in of the last \u
            --m_pendingSkip;
            return;
        }
        m_text += c;
    }

    void paragraph()
    {
        if (state().skip)
            return;
        flush();
        m_cursor.insertBlock();
    }

    void flush()
    {
        if (m_text.isEmpty())
            return;
        const GroupState &s = state();
        QTextCharFormat format;
        format.setFontWeight(s.bold ? QFont::Bold : QFont::Normal);
        format.setFontItalic(s.italic);
        format.setFontUnderline(s.underline);
        format.setFontPointSize(s.halfPoints / 2.0);
        m_cursor.insertText(m_text, format);
        m_text.clear();
    }

    const QByteArray &m_in;
    qsizetype m_at = 0;
    QTextCursor m_cursor;
    std::vector<GroupState> m_groups;
    size_t m_extraDepth = 0;
    int m_pendingSkip = 0;
    QString m_text;
};

}   // namespace

void readRtf(const QByteArray &rtf, QTextDocument *document)
{
    document->clear();
    Reader(rtf, document).read();
}
