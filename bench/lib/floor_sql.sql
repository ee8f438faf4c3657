-- Writes the floor's SQL: what the sqlite3 CLI must run on a compacted copy of the damaged
-- file to end where a repair ends. Run on the damaged file with the undamaged original
-- attached as "ref"; every index object comes from the original, as the engine makes it.
.headers off
.mode list
SELECT 'BEGIN;';
-- The sweep: rows whose key is Null ("Data" and "Lock" are keyed by A000, the rest by L000).
SELECT 'DELETE FROM "' || name || '" WHERE "' || CASE WHEN name IN ('Data', 'Lock') THEN 'A000' ELSE 'L000' END ||
       '" IS NULL;'
  FROM main.sqlite_schema
 WHERE type = 'table' AND name NOT LIKE '\_qn\_%' ESCAPE '\'
 ORDER BY rowid;
-- Every index that is missing or differs: drop what is left of it, then make it as the original
-- has it: the SQLite index, its two Required triggers and its row of bookkeeping.
WITH wanted AS (
  SELECT r.name, r.tbl_name, r.sql, '_qn_rq_' || substr(r.name, 8) AS triggers
    FROM ref.sqlite_schema r
   WHERE r.type = 'index' AND r.name LIKE '\_qn\_ix\_%' ESCAPE '\'
     AND NOT EXISTS (SELECT 1 FROM main.sqlite_schema d WHERE d.name = r.name AND d.sql IS r.sql))
SELECT CASE WHEN EXISTS (SELECT 1 FROM main.sqlite_schema d WHERE d.name = w.name)
            THEN 'DROP INDEX "' || w.name || '";' || char(10) ||
                 'DROP TRIGGER IF EXISTS "' || w.triggers || '_i";' || char(10) ||
                 'DROP TRIGGER IF EXISTS "' || w.triggers || '_u";' || char(10) ||
                 'DELETE FROM _qn_index WHERE sqlite_name = ' || quote(w.name) || ';' || char(10)
            ELSE '' END ||
       w.sql || ';' ||
       coalesce((SELECT group_concat(char(10) || t.sql || ';', '') FROM ref.sqlite_schema t
                  WHERE t.type = 'trigger' AND t.name IN (w.triggers || '_i', w.triggers || '_u')), '') || char(10) ||
       (SELECT 'INSERT INTO _qn_index VALUES(' || quote(m.table_name) || ', ' || quote(m.index_name) || ', ' ||
               quote(m.sqlite_name) || ', (SELECT coalesce(max(position), -1) + 1 FROM _qn_index WHERE table_name = ' ||
               quote(m.table_name) || '), ' || m.is_primary || ', ' || m.required || ', ' || m.ignore_nulls || ');'
          FROM ref._qn_index m WHERE m.sqlite_name = w.name)
  FROM wanted w
 ORDER BY w.tbl_name, w.name;
SELECT 'COMMIT;';
