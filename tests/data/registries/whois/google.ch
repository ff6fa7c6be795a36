whois: This information is subject to an Acceptable Use Policy.
See http://www.nic.ch/terms/aup.html


Domain name:
google.ch

Holder of domain name:
Google Inc.
Administrator Domain
Amphitheatre Parkway 1600
US-94043 Mountain View, CA
United States
Contractual Language: English

Technical contact:
Google Inc.
DNS Admin
2400 E. Bayshore Pkwy
US-94043 Mountain View
United States

DNSSEC:N

Name servers:
ns1.google.com
ns2.google.com
ns3.google.com
ns4.google.com
