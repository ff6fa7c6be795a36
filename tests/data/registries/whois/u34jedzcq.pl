
No information available about domain name u34jedzcq.pl in the Registry NASK database.




WHOIS displays data with a delay not exceeding 15 minutes in relation to the .pl Registry system
Registrant data available at http://dns.pl/cgi-bin/en_whois.pl