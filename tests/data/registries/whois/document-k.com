
No match for domain "DOCUMENT-K.COM".
