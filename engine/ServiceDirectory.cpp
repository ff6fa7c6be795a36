#include "engine/ServiceDirectory.h"

#include "engine/LookupName.h"

NameService ServiceDirectory::serviceFor(const QString &name) const
{
    NameService service;
    service.rdapRequest = bases.requestFor(name);
    if (Names::isComNet(name)) {
        service.protocol = protocol;   // a run without its service refuses to start, or stops at its first name
        return service;
    }
    if (!service.rdapRequest.isValid()) {
        const QString ending = name.section('.', -1).toLower();
        service.key = UnservedKey + ending;
        service.problem = QStringLiteral("no RDAP service is known for .%1").arg(ending);
        return service;
    }
    service.key =
        service.rdapRequest.adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment | QUrl::RemoveUserInfo)
            .toString();
    return service;
}

QStringList ServiceDirectory::unservedEndings(const QStringList &endings) const
{
    QStringList unserved;
    for (const QString &ending : endings) {
        if (!serves(QStringLiteral("example.") + ending))
            unserved << ending;
    }
    return unserved;
}
