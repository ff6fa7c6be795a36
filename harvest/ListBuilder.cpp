#include "harvest/ListBuilder.h"

namespace ListBuilder {

int resultLimit(int index)
{
    static const int limits[] = {100, 200, 500, 1000, 5000, 10000};
    if (index == -1)
        return 100;
    return index >= 0 && index < 6 ? limits[index] : 0;
}

QString requestAddress(Engine engine, const QString &host, const QString &query, int offset)
{
    switch (engine) {
    case Engine::Yahoo:
        // One arg() call each: a "%3" typed in the query is text, not a place for the offset.
        return QStringLiteral("http://%1/search/dir?h=s&xargs=0&p=%2&b=%3").arg(host, query, QString::number(offset));
    case Engine::Google:
        return QStringLiteral(
            "http://%1/search?num=100&hl=en&lr=&ie=UTF-8&oe=UTF-8&safe=off&filter=0&start=%2&sa=N&q=%3")
            .arg(host, QString::number(offset - 1), query);
    case Engine::None: break;
    }
    return {};
}

int nextOffset(Engine engine, int offset)
{
    return offset + (engine == Engine::Yahoo ? 20 : 100);
}

QString tidyList(QString listText)
{
    for (int i = 0; i < 7; ++i)
        listText.replace(QLatin1String("\r\n\r\n"), QLatin1String("\r\n"));
    listText.remove(QLatin1String("comtarget=_blank\r\n"));
    listText.remove(QLatin1String("orgtarget=_blank\r\n"));
    return listText;
}

QString searchCopyName(Engine engine, const QString &searchText)
{
    const bool unfit = searchText.contains('/') || searchText.contains('\\')
        || std::any_of(
            searchText.begin(), searchText.end(), [](QChar c) { return c.category() == QChar::Other_Control; });
    if (unfit || engine == Engine::None)
        return {};
    return (engine == Engine::Yahoo ? QStringLiteral("Yahoo ") : QStringLiteral("Google ")) + searchText
        + QStringLiteral(".txt");
}

}   // namespace ListBuilder
