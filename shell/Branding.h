#pragma once
#include <QString>

// The values that let the program ship under another name. LoadBranding fills them from the build's
// version information and the settings; they are read-only after that.
struct Branding {
    QString productName;
    QString ownerName;
    QString websiteAddress;
    bool purchaseLinksOn = true;
    QString purchaseLinkPrefix;
    bool skinningOn = true;

    // The purchase page of a name: the prefix followed by the name as one query value.
    QString purchaseAddress(const QString &name) const;
};

const Branding &branding();
void LoadBranding();

// The version as the about box shows it: major and minor, no revision.
QString majorMinorVersion();
