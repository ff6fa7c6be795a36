#pragma once
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

// Candidate .com and .net names from a page's body markup, one line at a time. The list variant
// (search-engine list builder) takes names from absolute links only; the browser variant (browser
// harvest window) also takes names that stand anywhere in the text, and reports the frames to
// follow.
enum class ExtractVariant {
    List,
    Browser
};

// The names accepted so far, in order, with the duplicate test: a candidate that occurs anywhere in
// the list's text, letter case ignored, is already there ("ample.com" is in "example.com").
class DomainList
{
public:
    bool containsText(const QString &candidate) const;
    void add(const QString &name);
    const QStringList &names() const { return m_names; }
    qsizetype size() const { return m_names.size(); }

private:
    QStringList m_names;
    // Every tail of every name's first label with its ending, case-folded: a candidate with one
    // dot and a whole ending occurs in the list exactly when it is one of these.
    QSet<QString> m_tails;
};

struct Extraction {
    QStringList names;    // accepted from this page, in order
    QStringList frames;   // frame addresses to follow (browser variant)
};

namespace DomainExtraction {

// The page text with its line breaks where the line rule wants them.
QString prepare(const QString &body, ExtractVariant variant);
// Runs the extraction over a page's body markup, adding what it accepts to accepted as well.
Extraction ExtractDomains(const QString &body, ExtractVariant variant, DomainList &accepted);

}   // namespace DomainExtraction
