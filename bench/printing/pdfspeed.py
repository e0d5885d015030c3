#!/usr/bin/env python3
"""PDF output speed against a browser, cold and warm, in one run.

Cold: the 40-row order form request rendered to PDF by `tallytool render`
(a whole process: start-up, fonts, document, PDF) against headless Chromium
printing the same document written as an HTML page (built here from the same
request: header fields and the item table, in the same Song face). Each side
runs REPEAT times after a warm-up; medians are compared (goal: 20 times).

Warm: the order form printed to PDF inside one process for 40, 400 and 4000
item rows (1, 10 and 100 pages), from bench_documents_print_request's BM_PhasePdfJob,
and the list report of 10,000 and 100,000 rows (223 and 2,223 pages), from
bench_printing_list_report's BM_ListReportPdf; pages per second per size (goal: 500
for multi-page jobs), the cost of further pages between sizes (linear: the
same for every size) and the fixed cost of a job. Rates are per CPU second, as Google Benchmark counts
them (this machine's other work does not count); the wall-clock rate is
shown beside them.

    python3 bench/printing/pdfspeed.py BUILD_DIR [REPEAT]
"""

import html
import json
import os
import random
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
import urllib.parse
import xml.etree.ElementTree as ET

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
sys.path.insert(0, os.path.join(ROOT, "tools", "samplegen"))
import make_requests  # noqa: E402

COLD_GOAL = 20.0
WARM_GOAL = 500.0


def order_request(rows):
    header, items = make_requests.order_form(random.Random(40), rows)
    return make_requests.body("1", "商品订货单", "0", header, items)


def packet_rows(text):
    root = ET.fromstring(text)
    fields = [f.get("attrname") for f in root.iter("FIELD")]
    rows = [[r.get(f, "") for f in fields] for r in root.iter("ROW")]
    return fields, rows


def html_page(body):
    request = json.loads(urllib.parse.unquote(body))
    head_fields, head_rows = packet_rows(request["Maindata"])
    item_fields, item_rows = packet_rows(request["Itemdata"])
    out = ['<!DOCTYPE html><html><head><meta charset="utf-8"><style>',
           "@page { size: A4; margin: 10mm }",
           "body { font-family: 'AR PL UMing CN'; font-size: 9pt }",
           "h1 { text-align: center; font-size: 18pt }",
           "table { border-collapse: collapse; width: 100% }",
           "td, th { border: 0.6pt solid black; padding: 1pt 3pt }",
           "</style></head><body>",
           f"<h1>{html.escape(request['title'])}</h1><table>"]
    for name, value in zip(head_fields, head_rows[0] if head_rows else []):
        out.append(f"<tr><th>{html.escape(name)}</th><td>{html.escape(value)}</td></tr>")
    out.append("</table><br><table><tr>")
    out += [f"<th>{html.escape(f)}</th>" for f in item_fields]
    out.append("</tr>")
    for row in item_rows:
        out.append("<tr>" + "".join(f"<td>{html.escape(v)}</td>" for v in row) + "</tr>")
    out.append("</table></body></html>")
    return "".join(out)


def timed(cmd, env=None):
    start = time.perf_counter()
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   env=env)
    return time.perf_counter() - start


def chromium_cmd(page, pdf, profile):
    return ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
            "--no-first-run", "--disable-background-networking",
            "--disable-component-update", "--disable-sync", f"--user-data-dir={profile}",
            "--no-pdf-header-footer", f"--print-to-pdf={pdf}", f"file://{page}"]


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build"))
    repeat = int(sys.argv[2]) if len(sys.argv) > 2 else 7
    tool = os.path.join(build, "tools", "tallytool", "tallytool")
    bench = os.path.join(build, "bench", "documents", "bench_documents_print_request")
    lists = os.path.join(build, "bench", "printing", "bench_printing_list_report")
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    with tempfile.TemporaryDirectory() as tmp:
        request = os.path.join(tmp, "order-40.body")
        with open(request, "w", encoding="ascii") as f:
            f.write(order_request(40))
        page = os.path.join(tmp, "order-40.html")
        with open(page, "w", encoding="utf-8") as f:
            f.write(html_page(open(request, encoding="ascii").read()))

        ours, browser = [], []
        for i in range(repeat + 1):
            t = timed([tool, "render", request, "--pdf", os.path.join(tmp, "ours.pdf")], env)
            profile = tempfile.mkdtemp(dir=tmp)
            b = timed(chromium_cmd(page, os.path.join(tmp, "browser.pdf"), profile))
            shutil.rmtree(profile, ignore_errors=True)
            if i:  # the first round warms the disk cache
                ours.append(t)
                browser.append(b)
        ours_ms = statistics.median(ours) * 1000
        browser_ms = statistics.median(browser) * 1000
        ratio = browser_ms / ours_ms
        print(f"cold, 40-row order form to PDF (median of {repeat}):")
        print(f"  tallytool render  {ours_ms:8.1f} ms  "
              f"({os.path.getsize(os.path.join(tmp, 'ours.pdf'))} bytes)")
        print(f"  chromium          {browser_ms:8.1f} ms  "
              f"({os.path.getsize(os.path.join(tmp, 'browser.pdf'))} bytes)")
        print(f"  ratio             {ratio:8.1f} x   goal {COLD_GOAL:.0f} x: "
              f"{'met' if ratio >= COLD_GOAL else 'NOT met'}")

        print("warm, order form pages to PDF in one process (median of 3):")
        order = warm_rates(bench, "BM_PhasePdfJob", 3, env,
                           lambda b: -(-int(b["run_name"].split("/")[1]) // 40))
        print("warm, list report pages to PDF in one process (median of 3):")
        listing = warm_rates(lists, "BM_ListReportPdf/", 3, env, lambda b: b["pages"])
        for name, sizes in (("order form", order), ("list report", listing)):
            verdict(name, sizes)


def verdict(name, sizes):
    """The goal holds for multi-page jobs; linear means every further page
    costs the same, whatever the job's size (a job's fixed cost, such as its
    fonts, is shown apart)."""
    multi = [pages / cpu for pages, cpu in sizes if pages > 1]
    worst = min(multi)
    marginal = [(p2 - p1) / (t2 - t1) for (p1, t1), (p2, t2) in zip(sizes, sizes[1:])]
    p1, t1 = sizes[0]
    fixed_ms = (t1 - p1 / marginal[0]) * 1000
    print(f"  {name}: slowest multi-page job {worst:.0f} pages/s, goal {WARM_GOAL:.0f}: "
          f"{'met' if worst >= WARM_GOAL else 'NOT met'}; further pages at "
          + ", ".join(f"{m:.0f}" for m in marginal)
          + f" pages/s (spread {max(marginal) / min(marginal):.2f}, 1.00 is linear); "
          f"fixed cost per job {fixed_ms:.2f} ms")

def warm_rates(binary, pattern, repeat, env, pages_of):
    """(pages, CPU seconds) of each benchmark size matching pattern, printed
    with pages per CPU and per wall second."""
    out = subprocess.run(
        [binary, f"--benchmark_filter={pattern}", "--benchmark_format=json",
         f"--benchmark_repetitions={repeat}", "--benchmark_report_aggregates_only=true"],
        check=True, capture_output=True, text=True, env=env).stdout
    sizes = []
    for b in json.loads(out)["benchmarks"]:
        if b.get("aggregate_name") != "median":
            continue
        pages = pages_of(b)
        scale = {"ms": 1e3, "us": 1e6, "ns": 1e9, "s": 1}[b.get("time_unit", "ns")]
        rate = pages / (b["cpu_time"] / scale)
        wall = pages / (b["real_time"] / scale)
        sizes.append((pages, b["cpu_time"] / scale))
        print(f"  {b['run_name']:28s} {pages:6.0f} pages {rate:8.0f} pages/s "
              f"(wall {wall:5.0f})")
    return sizes


if __name__ == "__main__":
    main()
