-- Eight sales records for the query command, in SQL both SQLite and
-- PostgreSQL run as it is.
DROP TABLE IF EXISTS tool_sales;
CREATE TABLE tool_sales (id INTEGER, qy VARCHAR(20), grp INTEGER, a INTEGER, b REAL);
INSERT INTO tool_sales VALUES (5, '东北', 1, 5, 6.25);
INSERT INTO tool_sales VALUES (2, '华北', 2, 2, 2.5);
INSERT INTO tool_sales VALUES (8, '海外', 2, 8, 10);
INSERT INTO tool_sales VALUES (1, '华东', 1, 1, 1.25);
INSERT INTO tool_sales VALUES (7, '华中', 1, 7, 8.75);
INSERT INTO tool_sales VALUES (3, '华南', 1, 3, 3.75);
INSERT INTO tool_sales VALUES (6, '西北', 2, 6, 7.5);
INSERT INTO tool_sales VALUES (4, '西南', 2, 4, 5);
