#include "shell/Branding.h"

#include "Version.h"
#include "app/Settings.h"

#include <QUrl>

namespace {

Branding &current()
{
    static Branding values;
    return values;
}

}   // namespace

const Branding &branding()
{
    return current();
}

void LoadBranding()
{
    Branding &values = current();
    values.productName = QStringLiteral(TAMARIND_PRODUCT_NAME);
    values.ownerName = QStringLiteral(TAMARIND_OWNER_NAME);
    values.websiteAddress = QStringLiteral(TAMARIND_WEBSITE);
    values.purchaseLinksOn = Settings::PurchaseLinks.get();
    values.purchaseLinkPrefix = Settings::PurchaseLinkPrefix.get();
    values.skinningOn = Settings::Skinning.get();
}

// "&", "#", a blank and the like would end the query value or the address.
QString Branding::purchaseAddress(const QString &name) const
{
    // Lists hold a name as its reader writes it; a registrar is asked for its IDNA form.
    const QByteArray ace = QUrl::toAce(name);
    return purchaseLinkPrefix
        + QString::fromLatin1(QUrl::toPercentEncoding(ace.isEmpty() ? name : QString::fromLatin1(ace)));
}

QString majorMinorVersion()
{
    return QStringLiteral("%1.%2").arg(TAMARIND_VERSION_MAJOR).arg(TAMARIND_VERSION_MINOR);
}
