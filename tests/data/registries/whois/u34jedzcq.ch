We do not have an entry in our database matching your query.

