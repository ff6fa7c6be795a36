    Conditions of use for the whois service via port 43 for .es domains

    Access will only be enabled for  IP addresses  authorised  by Red.es.  A maximum of one  IP address per
    user/organisation is permitted.

    Red.es accepts  no responsibility  whatsoever  for  the availability  of access to WHOIS,  which may be
    suspended at any time and without prior warning at the discretion of the public entity.

    The service will be limited to the data established by Red.es.

    The user  promises  to make use of the service and to  carry out any action derived  from the aforesaid
    use in accordance with  current applicable  regulations, in particular with legislation on “.es” domain
    names and personal data protection.

    In particular, the user undertakes not to use  the service  to carry out abusive  or speculative domain
    name registrations, pursuant to section 5 of the Sixth Additional Provision of Law 34/2002, of 11 July,
    on Services of the  Information  Society and  Electronic Commerce. Likewise, the User undertakes not to
    use the service to  obtain data, the possession  of which may  contravene the provisions of Organic Law
    15/1999,  of  13 December,  on Personal Data Protection, and  its Regulations, or in Law 34/2002, of 11
    July, on Services of the Information Society and Electronic Commerce.

    Failure  to comply with these conditions will result in the immediate withdrawal of the service and any
    registered domain name which breaches said conditions may be officially cancelled by Red.es.

    The  User will be held accountable for the use they make of the service and will be responsible for any
    claims that may be filed by third parties in this regard against Red.es and will have to compensate the
    public entity for any damages it may incur as a result.

    The data which can be consulted via this service include: availability, name of the holder of a domain,
    administrative and  technical contact identifiers,  domain creation date,  domain expiration date,  DNS
    name server and IP DNS server (a maximum of 4 DNS).

    A maximum of 15 queries per minute can be made by each registered IP address.

    Queries can be performed on second and third level domains.
    -------------------------------------------------------------------------------------------------------

    There is no information available on the domain consulted.

    >>> LAST UPDATE: 09/10/2013 23:00:04
    -------------------------------------------------------------------------------------------------------
    More information on each domain may be consulted at www.dominios.es.
