-- Stops each wrk thread after its share of a fixed number of requests.
local limit = tonumber(os.getenv("BENCH_REQUESTS_PER_THREAD") or "50000")
wrk.method = "POST"
wrk.body = "%7B%22title%22%3A%22%E6%B5%8B%E8%AF%95%22%2C%22prev%22%3A%220%22%2C%22djlx%22%3A%227%22%7D"
wrk.headers["Content-Type"] = "application/x-www-form-urlencoded"
local done = 0
function response(status, headers, body)
  done = done + 1
  if done >= limit then wrk.thread:stop() end
end
