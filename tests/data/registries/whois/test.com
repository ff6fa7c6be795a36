Creation Date: 2013-12-06T02:41:09Z
DNSSEC: unsigned
Domain Name: test.COM
Domain Status: clientTransferProhibited https://icann.org/epp#clientTransferProhibited
Domain Status: redemptionPeriod https://icann.org/epp#redemptionPeriod
Name Server: DNS101.REGISTRAR-SERVERS.COM
Name Server: DNS102.REGISTRAR-SERVERS.COM
Registrar Abuse Contact Email: abuse@namecheap.com
Registrar Abuse Contact Phone: +1.6613102107
Registrar IANA ID: 1068
Registrar URL: http://www.namecheap.com
Registrar WHOIS Server: whois.namecheap.com
Registrar: NameCheap, Inc.
Registry Domain ID: 1838126490_DOMAIN_COM-VRSN
Registry Expiry Date: 2021-12-06T02:41:09Z
Updated Date: 2022-01-17T02:52:13Z
