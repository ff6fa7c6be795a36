% .be Whois Server 6.1
%
% The WHOIS service offered by DNS.be and the access to the records in the DNS.be
% WHOIS database are provided for information purposes only. It allows
% persons to check whether a specific domain name is still available or not
% and to obtain information related to the registration records of
% existing domain names.
%
% DNS.be cannot, under any circumstances, be held liable where the stored
% information would prove to be incomplete or inaccurate in any sense.
%
% By submitting a query you agree not to use the information made available
% to:
%   - allow, enable or otherwise support the transmission of unsolicited,
%     commercial advertising or other solicitations whether via email or otherwise;
%   - target advertising in any possible way;
%   - to cause nuisance in any possible way to the domain name holders by sending 
%     messages to them (whether by automated, electronic processes capable of
%     enabling high volumes or other possible means).
% 
% Without prejudice to the above, it is explicitly forbidden to extract, copy
% and/or use or re-utilise in any form and by any means (electronically or
% not) the whole or a quantitatively or qualitatively substantial part
% of the contents of the WHOIS database without prior and explicit permission
% by DNS.be, nor in any attempt thereof, to apply automated, electronic
% processes to DNS.be (or its systems).
%
% You agree that any reproduction and/or transmission of data for commercial
% purposes will always be considered as the extraction of a substantial
% part of the content of the WHOIS database.
%
% By submitting the query you agree to abide by this policy and accept that
% DNS.be can take measures to limit the use of its whois services in order to
% protect the privacy of its registrants or the integrity of the database.
%

Domain:	google.be
Status:	NOT AVAILABLE
Registered:	Tue Dec 12 2000

Registrant:
	Not shown, please visit www.dns.be for webbased whois.

Registrar Technical Contacts:
	Name:	MarkMonitor Inc.
	Organisation:	MarkMonitor Inc.
	Language:	en
	Phone:	+1.2083895740
	Fax:	+1.2083895771
	Email:	ccops@markmonitor.com


Registrar:
	Name:	 MarkMonitor
	Website: http://www.markmonitor.com

Nameservers:
	ns4.google.com
	ns3.google.com
	ns1.google.com
	ns2.google.com

Keys:

Flags:

Please visit www.dns.be for more info.
