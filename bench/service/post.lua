-- POST of an unknown document type, URL-encoded as a web page sends it.
wrk.method = "POST"
wrk.body = "%7B%22title%22%3A%22%E6%B5%8B%E8%AF%95%22%2C%22prev%22%3A%220%22%2C%22djlx%22%3A%227%22%7D"
wrk.headers["Content-Type"] = "application/x-www-form-urlencoded"
