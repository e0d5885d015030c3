#!/usr/bin/env python3
"""Writes the sample print requests of samples/requests/.

Each file holds the body a web page posts to the print service: the
URL-encoded UTF-8 text of one JSON object with title, prev, djlx and the two
data packets (the generic list, djlx "0", carries one packet as data). The data are made up but shaped like a store's real documents;
the output is deterministic, so regenerating gives the same files.

    python3 tools/samplegen/make_requests.py [OUTDIR]
"""

import json
import os
import random
import sys
import urllib.parse
from xml.sax.saxutils import quoteattr

# (code, barcode, name, sizing, unit, pack size, purchase price with tax)
CATALOGUE = [
    ("100231", "6920152400777", "康师傅红烧牛肉面", "105g", "袋", 24, 2.85),
    ("100232", "6921168509256", "农夫山泉饮用天然水", "550ml", "瓶", 24, 1.20),
    ("100233", "6902083881085", "娃哈哈AD钙奶", "220g*4", "排", 20, 6.30),
    ("100234", "6907992100272", "伊利纯牛奶", "250ml*16", "箱", 1, 48.50),
    ("100235", "6923450605332", "光明莫斯利安酸奶", "200g*12", "箱", 1, 52.80),
    ("100236", "6901939621608", "可口可乐", "330ml", "听", 24, 1.95),
    ("100237", "6920459905012", "统一冰红茶", "500ml", "瓶", 15, 2.40),
    ("100238", "6902538005141", "蒙牛特仑苏", "250ml*12", "箱", 1, 55.00),
    ("100239", "6903148042441", "心相印抽纸", "3层120抽*6", "提", 8, 14.90),
    ("100240", "6901236341056", "金龙鱼调和油", "5L", "桶", 4, 62.50),
    ("100241", "6922266440601", "海天金标生抽", "500ml", "瓶", 12, 8.60),
    ("100242", "6902265210603", "福临门东北大米", "10kg", "袋", 2, 59.90),
    ("100243", "6920174736427", "老干妈风味豆豉", "280g", "瓶", 24, 9.20),
    ("100244", "6901028075763", "中华牙膏", "140g", "支", 48, 7.80),
    ("100245", "6903244670814", "舒肤佳香皂", "115g", "块", 72, 4.50),
    ("100246", "6954767423472", "立白洗衣粉", "1.7kg", "袋", 6, 21.60),
    ("100247", "6925303721367", "旺旺雪饼", "84g", "袋", 30, 4.80),
    ("100248", "6924743915763", "乐事薯片原味", "70g", "袋", 22, 5.90),
    ("100249", "6901668053718", "奥利奥夹心饼干", "116g", "盒", 24, 6.70),
    ("100250", "6920907800173", "好丽友派", "6枚装", "盒", 16, 11.20),
    ("100251", "6911988005793", "达利园法式软面包", "200g", "袋", 20, 7.40),
    ("100252", "6935284412345", "三只松鼠每日坚果", "750g", "盒", 6, 89.00),
    ("100253", "6921581540058", "青岛啤酒经典", "500ml", "听", 12, 4.30),
    ("100254", "6901035603454", "雪花啤酒勇闯天涯", "500ml", "听", 12, 3.90),
    ("100255", "6902890232103", "双汇王中王火腿肠", "40g*10", "包", 20, 12.80),
    ("100256", "6970399920019", "思念水饺猪肉白菜", "1kg", "袋", 8, 18.50),
    ("100257", "6921317905038", "安佳黄油", "227g", "块", 20, 23.50),
    ("100258", "6934665081892", "维达卷纸", "4层140g*10", "提", 6, 26.90),
    ("100259", "6928804011173", "雀巢咖啡1+2原味", "15g*30", "盒", 12, 39.80),
    ("100260", "6917878036526", "蓝月亮洗衣液", "3kg", "瓶", 4, 45.00),
]

DEPARTMENTS = [("0101", "食品部"), ("0102", "日化部"), ("0103", "生鲜部"), ("0104", "百货部")]


def packet(fields, rows):
    """A DATAPACKET text: fields are (name, type, width), rows dicts (None: no value)."""
    parts = ['<?xml version="1.0" standalone="yes"?><DATAPACKET Version="2.0">'
             "<METADATA><FIELDS>"]
    for name, ftype, width in fields:
        if ftype == "string":
            parts.append(f'<FIELD attrname="{name}" fieldtype="string" WIDTH="{width}"/>')
        elif ftype == "money":
            parts.append(f'<FIELD attrname="{name}" fieldtype="r8" SUBTYPE="Money"/>')
        else:
            parts.append(f'<FIELD attrname="{name}" fieldtype="{ftype}"/>')
    parts.append("</FIELDS><PARAMS/></METADATA><ROWDATA>")
    for row in rows:
        attrs = "".join(f" {k}={quoteattr(str(v))}" for k, v in row.items() if v is not None)
        parts.append(f"<ROW{attrs}/>")
    parts.append("</ROWDATA></DATAPACKET>")
    return "".join(parts)


def num(value, digits=4):
    text = f"{value:.{digits}f}".rstrip("0").rstrip(".")
    return text or "0"


def body(djlx, title, prev, main, items):
    request = {"title": title, "prev": prev, "djlx": djlx, "Maindata": main, "Itemdata": items}
    text = json.dumps(request, ensure_ascii=False, separators=(",", ":"))
    return urllib.parse.quote(text, safe="")


def list_body(title, prev, data):
    request = {"title": title, "prev": prev, "djlx": "0", "data": data}
    text = json.dumps(request, ensure_ascii=False, separators=(",", ":"))
    return urllib.parse.quote(text, safe="")


def products(rng, count):
    """`count` catalogue entries, cycling through a shuffled catalogue."""
    order = CATALOGUE[:]
    rng.shuffle(order)
    return [order[i % len(order)] for i in range(count)]


ORDER_HEADER = [("JLBH", "i4", 0), ("DEPT_NAME", "string", 50), ("HTH", "string", 8),
                ("NAME", "string", 80), ("HSFS", "string", 1), ("YXQ", "string", 10),
                ("JHDD", "string", 30), ("JHFS", "string", 16), ("DJRMC", "string", 16),
                ("DJSJ", "string", 10), ("SHRMC", "string", 16), ("SHRQ", "string", 10)]


def order_form(rng, rows, landscape=False, number=30005686, approved=True):
    header = packet(ORDER_HEADER, [{
        "JLBH": number, "DEPT_NAME": "食品部", "HTH": "1208", "NAME": "杭州娃哈哈集团有限公司",
        "HSFS": "0", "YXQ": "2026-12-31", "JHDD": "城东配送中心", "JHFS": "配送",
        "DJRMC": "王芳", "DJSJ": "2026-12-08", "SHRMC": "李强" if approved else None,
        "SHRQ": "2026-12-09" if approved else None}])
    fields = [("SPCODE", "string", 10)]
    if landscape:
        fields.append(("BARCODE", "string", 13))
    fields += [("NAME", "string", 50), ("SPGG", "string", 20)]
    if landscape:
        fields.append(("SCRQ", "string", 10))
    fields += [("UNIT", "string", 8), ("SPXS", "r8", 0), ("BZHL", "i4", 0), ("SPJS", "i4", 0),
               ("JXSL", "r8", 0), ("JHDJ_HS", "r8", 0), ("SPWKSL", "r8", 0),
               ("JHJE_HS", "r8", 0)]
    items = []
    for code, barcode, name, sizing, unit, pack, price in products(rng, rows):
        cases = rng.randint(1, 20)
        quantity = cases * pack
        row = {"SPCODE": code}
        if landscape:
            row["BARCODE"] = barcode
        row.update({"NAME": name, "SPGG": sizing})
        if landscape:
            row["SCRQ"] = f"2026-11-{rng.randint(1, 28):02d}"
        row.update({"UNIT": unit, "SPXS": pack, "BZHL": pack, "SPJS": cases, "JXSL": 13,
                    "JHDJ_HS": num(price), "SPWKSL": rng.choice([0, 0, pack]),
                    "JHJE_HS": num(round(quantity * price, 2))})
        items.append(row)
    return header, packet(fields, items)


def purchase_receipt(rng, rows):
    header = packet(
        [("JLBH", "i4", 0), ("HTH", "string", 8), ("HSFS", "string", 1), ("DHDBH", "string", 8),
         ("DEPTID", "string", 10), ("KCDD", "string", 8), ("JHDW", "string", 6),
         ("DJRMC", "string", 16), ("DJSJ", "string", 10), ("ZXRMC", "string", 16),
         ("ZXRQ", "string", 10)],
        [{"JLBH": 3005, "HTH": "0815", "HSFS": "3", "DHDBH": "30005686", "DEPTID": "0101",
          "KCDD": "A01", "JHDW": "100234", "DJRMC": "赵敏", "DJSJ": "2026-12-07",
          "ZXRMC": "孙立", "ZXRQ": "2026-12-08"}])
    fields = [("SPCODE", "string", 10), ("BARCODE", "string", 13), ("NAME", "string", 50),
              ("SPGG", "string", 20), ("RKXS", "r8", 0), ("JHDJ_HS", "r8", 0), ("JXSL", "r8", 0),
              ("JHJE_JJ", "r8", 0), ("ZZSJE", "r8", 0), ("HSJE_HJ", "r8", 0)]
    items = []
    for code, barcode, name, sizing, _unit, pack, price in products(rng, rows):
        quantity = rng.randint(1, 10) * pack
        gross = round(quantity * price, 2)
        net = round(gross / 1.13, 2)
        items.append({"SPCODE": code, "BARCODE": barcode, "NAME": name, "SPGG": sizing,
                      "RKXS": quantity, "JHDJ_HS": num(price), "JXSL": 13,
                      "JHJE_JJ": num(net), "ZZSJE": num(round(gross - net, 2)),
                      "HSJE_HJ": num(gross)})
    return header, packet(fields, items)


SETTLEMENT_COMMON = [("JLBH", "i4", 0), ("DEPT_NAME", "string", 50), ("HTH", "string", 8),
                     ("NAME", "string", 80), ("YEARMONTH", "string", 6), ("SHRMC", "string", 16),
                     ("SHRQ", "string", 10)] + [
    (name, "string", 30 if name == "KKJE" else 10)
    for name in ("BYXSJE", "XSJE", "XSCB", "JSJE", "KKJE", "JSJE_17", "JSJE_13", "JSJE_QT",
                 "ZZSJE_17", "ZZSJE_13", "ZZSJE_QT", "BYTQJSJE")]

SETTLEMENT_VALUES = {
    "JLBH": 166753, "DEPT_NAME": "食品部", "HTH": "2031", "NAME": "杭州娃哈哈集团有限公司",
    "YEARMONTH": "202611", "SHRMC": "周敏", "SHRQ": "2026-12-05", "BYXSJE": "35210.5",
    "XSJE": "36120", "XSCB": "30050.2", "JSJE": "32735.1", "KKJE": "308.5", "JSJE_17": "0",
    "JSJE_13": "28969.12", "JSJE_QT": "0", "ZZSJE_17": "0", "ZZSJE_13": "3765.98",
    "ZZSJE_QT": "0", "BYTQJSJE": "0"}


def settlement_list(rng, rows):
    header = packet(SETTLEMENT_COMMON + [("BZ", "string", 100)],
                    [dict(SETTLEMENT_VALUES, BZ="11月份常规结算")])
    fields = [("SPCODE", "string", 10), ("NAME", "string", 50), ("SPGG", "string", 20)] + [
        (name, "r8", 0) for name in ("JXSL", "XSSL", "XSJE", "ZKFT", "JSJE", "ZZSJE", "JSJE_HS")]
    items = []
    for code, _barcode, name, sizing, _unit, _pack, price in products(rng, rows):
        sold = rng.randint(20, 400)
        sales = round(sold * price * 1.25, 2)
        settled = round(sold * price / 1.13, 2)
        tax = round(sold * price - settled, 2)
        items.append({"SPCODE": code, "NAME": name, "SPGG": sizing, "JXSL": 13, "XSSL": sold,
                      "XSJE": num(sales), "ZKFT": num(round(sales * 0.02, 2)),
                      "JSJE": num(settled), "ZZSJE": num(tax),
                      "JSJE_HS": num(round(settled + tax, 2))})
    return header, packet(fields, items)


NOTICE_EXTRA = [("TQJS", "string", 1), ("SCMC", "string", 100), ("ADDR", "string", 100),
                ("PHONE", "string", 20), ("KHH", "string", 30), ("ZH", "string", 20),
                ("GSH", "string", 30), ("BZ", "string", 30), ("MBZKJE", "string", 10)]

DEDUCTIONS = [("进场费", 200), ("堆头费", 50), ("DM海报费", 30), ("条码费", 20),
              ("促销服务费", 8.5), ("店庆赞助费", 0)]


def settlement_notice(tqjs="0", discount="12.5", remark="请于12月20日前开具增值税专用发票"):
    header = packet(SETTLEMENT_COMMON + NOTICE_EXTRA, [dict(
        SETTLEMENT_VALUES, TQJS=tqjs, SCMC="华联超市城东店", ADDR="杭州市上城区解放路88号",
        PHONE="0571-87654321", KHH="工商银行解放路支行", ZH="1202021209900012345",
        GSH="330102123456789", BZ=remark, MBZKJE=discount)])
    fields = [("JSKKMC", "string", 30), ("JSKKJE", "r8", 0), ("JSKKMC2", "string", 30),
              ("JSKKJE2", "r8", 0)]
    pairs = [DEDUCTIONS[i:i + 2] for i in range(0, len(DEDUCTIONS), 2)]
    items = [{"JSKKMC": a[0], "JSKKJE": num(a[1]), "JSKKMC2": b[0], "JSKKJE2": num(b[1])}
             for a, b in pairs]
    return header, packet(fields, items)


def purchase_price_change(rng, rows):
    header = packet(
        [("JLBH", "i4", 0), ("DJSJ", "string", 10), ("DJRMC", "string", 16),
         ("SHRMC", "string", 16), ("SHRQ", "string", 10), ("ZXRMC", "string", 16),
         ("ZXRQ", "string", 10), ("QDBJ", "string", 10), ("HTH", "string", 8),
         ("REASON", "string", 60)],
        [{"JLBH": 12, "DJSJ": "2026-12-01", "DJRMC": "陈静", "SHRMC": "刘洋",
          "SHRQ": "2026-12-02", "ZXRMC": "黄磊", "ZXRQ": "2026-12-03", "QDBJ": "已确认",
          "HTH": "2031", "REASON": "供应商原料涨价"}])
    fields = [("BMDM", "string", 12), ("BMMC", "string", 50), ("SPCODE", "string", 10),
              ("NAME", "string", 30), ("SPGG", "string", 20), ("BARCODE", "string", 13),
              ("JHDJ_HS_NEW", "r8", 0), ("JHDJ_HS_OLD", "r8", 0), ("JXSL", "string", 4),
              ("LSDJ", "money", 0), ("HTH", "i4", 0)]
    items = []
    for code, barcode, name, sizing, _unit, _pack, price in products(rng, rows):
        dept = rng.choice(DEPARTMENTS)
        items.append({"BMDM": dept[0], "BMMC": dept[1], "SPCODE": code, "NAME": name,
                      "SPGG": sizing, "BARCODE": barcode,
                      "JHDJ_HS_NEW": num(round(price * 1.05, 2)), "JHDJ_HS_OLD": num(price),
                      "JXSL": "13", "LSDJ": num(round(price * 1.3, 1)), "HTH": 2031})
    return header, packet(fields, items)


def cost_price_change(rng, rows):
    header = packet(
        [("JLBH", "i4", 0), ("DJSJ", "string", 10), ("DJRMC", "string", 16),
         ("ZXRMC", "string", 16), ("DEPTID", "string", 10), ("HTH", "string", 8),
         ("REASON", "string", 60)],
        [{"JLBH": 5678, "DJSJ": "2026-12-02", "DJRMC": "陈静", "ZXRMC": "黄磊",
          "DEPTID": "0101", "HTH": "0815", "REASON": "进价调整"}])
    fields = [("SPCODE", "string", 10), ("NAME", "string", 30), ("SPGG", "string", 20),
              ("BJSL", "r8", 0), ("OLD_JHDJ", "r8", 0), ("NEW_JHDJ", "r8", 0),
              ("BJCEBHS", "money", 0), ("BJCESJ", "money", 0), ("OLD_KCPCH", "i4", 0),
              ("NEW_KCPCH", "i4", 0), ("JSHJ", "money", 0)]
    items = []
    for i, (code, _barcode, name, sizing, _unit, pack, price) in enumerate(products(rng, rows)):
        quantity = rng.randint(1, 8) * pack
        old = round(price / 1.13, 4)
        new = round(old * 0.96, 4)
        diff = round((old - new) * quantity, 2)
        items.append({"SPCODE": code, "NAME": name, "SPGG": sizing, "BJSL": quantity,
                      # A first-time cost price has no old value: the cell stays blank.
                      "OLD_JHDJ": None if i == 2 else num(old), "NEW_JHDJ": num(new),
                      "BJCEBHS": num(diff), "BJCESJ": num(round(diff * 0.13, 2)),
                      "OLD_KCPCH": 7001 + i, "NEW_KCPCH": 8001 + i,
                      "JSHJ": num(round(diff * 1.13, 2))})
    return header, packet(fields, items)


RETURN_HEADER = [("JLBH", "i4", 0), ("DEPTID", "string", 10), ("HTH", "string", 8),
                 ("ZXRQ", "string", 10), ("DJSJ", "string", 10), ("DJRMC", "string", 16),
                 ("ZXRMC", "string", 16), ("HSFS", "i4", 0)]
RETURN_VALUES = {"JLBH": 6022190, "DEPTID": "0102", "HTH": "0815", "ZXRQ": "2026-12-06",
                 "DJSJ": "2026-12-04", "DJRMC": "吴刚", "ZXRMC": "郑华", "HSFS": 0}


def return_note(rng, rows):
    header = packet(RETURN_HEADER, [RETURN_VALUES])
    fields = [("SPCODE", "string", 10), ("BARCODE", "string", 13), ("NAME", "string", 50),
              ("JHDJ", "r8", 0), ("THSL", "r8", 0), ("THJE_JJ", "r8", 0), ("ZZSJE", "r8", 0),
              ("THJE_HSJJ", "r8", 0), ("KCPCH", "i4", 0), ("JHDBH", "i4", 0)]
    items = []
    for i, (code, barcode, name, _sizing, _unit, pack, price) in enumerate(products(rng, rows)):
        quantity = rng.randint(1, 3) * pack
        net_price = round(price / 1.13, 4)
        net = round(quantity * net_price, 2)
        gross = round(quantity * price, 2)
        items.append({"SPCODE": code, "BARCODE": barcode, "NAME": name, "JHDJ": num(net_price),
                      "THSL": quantity, "THJE_JJ": num(net), "ZZSJE": num(round(gross - net, 2)),
                      "THJE_HSJJ": num(gross), "KCPCH": 7100 + i, "JHDBH": 3005})
    return header, packet(fields, items)


def return_quantity(rng, rows):
    header = packet(RETURN_HEADER, [dict(RETURN_VALUES, HSFS=1)])
    fields = [("SPCODE", "string", 10), ("NAME", "string", 30), ("SPGG", "string", 20),
              ("THJS", "i4", 0), ("BZHL", "r8", 0), ("THXS", "r8", 0)]
    items = []
    for code, _barcode, name, sizing, _unit, pack, _price in products(rng, rows):
        cases = rng.randint(1, 5)
        items.append({"SPCODE": code, "NAME": name, "SPGG": sizing, "THJS": cases, "BZHL": pack,
                      "THXS": cases * pack})
    return header, packet(fields, items)


def requests():
    """(file name, djlx, title, prev, (header, items)) of every sample."""
    rng = random.Random(9300)
    yield "order-form", "1", "商品订货单", "0", order_form(rng, 8)
    yield "order-form-preview", "1", "", "1", order_form(rng, 8, number=12, approved=False)
    yield "order-form-41-rows", "1", "商品订货单", "0", order_form(rng, 41)
    yield "order-form-landscape-23-rows", "12", "商品订货单（横向）", "0", \
        order_form(rng, 23, landscape=True)
    yield "purchase-receipt", "2", "", "0", purchase_receipt(rng, 12)
    yield "settlement-list", "3", "供应商结算清单", "0", settlement_list(rng, 11)
    yield "settlement-notice", "4", "商品结算通知单", "0", settlement_notice()
    yield "dealer-settlement", "5", "经销商品结算单", "0", \
        settlement_notice(tqjs="1", discount="", remark="")
    yield "purchase-price-change", "8", "采购价变进价单", "0", purchase_price_change(rng, 10)
    yield "cost-price-change", "9", "变进价单", "0", cost_price_change(rng, 6)
    yield "return-quantity", "10", "返厂单（数量联）", "0", return_quantity(rng, 5)
    yield "return-note", "11", "返厂单", "0", return_note(rng, 7)
    # The header packet lacks the declared HTH field: the document shows 格式不正确.
    header, items = order_form(rng, 3)
    header = header.replace('<FIELD attrname="HTH" fieldtype="string" WIDTH="8"/>', "")
    yield "order-form-missing-field", "1", "商品订货单", "0", (header, items)


STORES = ["人民路店", "解放路店", "中山北路店", "滨江店", "高新区店"]


def stock_list(rng):
    """A small list: five articles with their stock."""
    fields = [("SPCODE", "string", 10), ("NAME", "string", 30), ("SPGG", "string", 20),
              ("KCSL", "i4", 0)]
    rows = [{"SPCODE": code, "NAME": name, "SPGG": sizing, "KCSL": rng.randint(0, 400)}
            for code, _barcode, name, sizing, _unit, _pack, _price in products(rng, 5)]
    return packet(fields, rows)


def sales_list(rng, rows):
    """Sales lines of several stores over two weeks: a list of several pages."""
    fields = [("RQ", "string", 10), ("MDMC", "string", 20), ("SPCODE", "string", 10),
              ("NAME", "string", 30), ("SPGG", "string", 20), ("DW", "string", 4),
              ("XSSL", "i4", 0), ("XSJ", "r8", 0)]
    out = []
    for i, (code, _barcode, name, sizing, unit, _pack, price) in \
            enumerate(products(rng, rows)):
        out.append({"RQ": f"2024-11-{1 + i * 14 // rows:02d}", "MDMC": rng.choice(STORES),
                    "SPCODE": code, "NAME": name, "SPGG": sizing, "DW": unit,
                    "XSSL": rng.randint(1, 60), "XSJ": num(round(price * 1.25, 1))})
    return packet(fields, out)


def supplier_totals(rng):
    """Amounts owed per supplier, with a money field."""
    suppliers = ["杭州顶益食品有限公司", "农夫山泉股份有限公司", "内蒙古伊利实业集团",
                 "上海光明乳业股份有限公司", "中粮福临门食品营销有限公司", "佛山市海天调味食品"]
    fields = [("GYSBM", "string", 8), ("GYSMC", "string", 40), ("JSJE", "money", 0),
              ("KL", "r8", 0)]
    rows = []
    for i, supplier in enumerate(suppliers):
        amount = rng.randint(100000, 9000000) / 100
        rows.append({"GYSBM": f"G{i + 1:04d}", "GYSMC": supplier, "JSJE": num(amount, 2),
                     "KL": num(rng.choice([0, 0.5, 1, 1.5]))})
    rows[-1]["JSJE"] = None
    return packet(fields, rows)


def list_requests():
    """(file name, title, prev, data) of every list sample (djlx "0")."""
    rng = random.Random(9301)
    yield "list-stock", "门店库存查询", "0", stock_list(rng)
    yield "list-sales-120-rows", "商品销售明细", "0", sales_list(rng, 120)
    yield "list-supplier-money", "供应商结算汇总", "1", supplier_totals(rng)


# Samples also written as plain JSON.
PLAIN_JSON = {"order-form", "list-stock"}


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
    outdir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "samples", "requests")
    os.makedirs(outdir, exist_ok=True)
    for name, djlx, title, prev, (header, items) in requests():
        path = os.path.join(outdir, name + ".body")
        with open(path, "w", encoding="ascii", newline="") as f:
            f.write(body(djlx, title, prev, header, items))
        print(path)
        if name in PLAIN_JSON:
            # The same request as readable JSON, for curl --data-urlencode.
            path = os.path.join(outdir, name + ".json")
            request = {"title": title, "prev": prev, "djlx": djlx,
                       "Maindata": header, "Itemdata": items}
            with open(path, "w", encoding="utf-8", newline="\n") as f:
                f.write(json.dumps(request, ensure_ascii=False, indent=1) + "\n")
            print(path)
    for name, title, prev, data in list_requests():
        path = os.path.join(outdir, name + ".body")
        with open(path, "w", encoding="ascii", newline="") as f:
            f.write(list_body(title, prev, data))
        print(path)
        if name in PLAIN_JSON:
            path = os.path.join(outdir, name + ".json")
            request = {"title": title, "prev": prev, "djlx": "0", "data": data}
            with open(path, "w", encoding="utf-8", newline="\n") as f:
                f.write(json.dumps(request, ensure_ascii=False, indent=1) + "\n")
            print(path)


if __name__ == "__main__":
    main()
