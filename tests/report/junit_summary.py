"""Reads a JUnit XML file as a CI server would, with junitparser, and prints
what it counts: a line "tests=N failures=N errors=N" for the whole file, then
one line per test case, "VERDICT<TAB>TIME<TAB>CLASSNAME<TAB>NAME", where
VERDICT is KO for a case with a failure or an error and OK otherwise."""

import sys

from junitparser import Error, Failure, JUnitXml

xml = JUnitXml.fromfile(sys.argv[1])
print(f"tests={xml.tests} failures={xml.failures} errors={xml.errors}")
for suite in xml:
    for case in suite:
        results = case.result if isinstance(case.result, list) else [case.result]
        failed = any(isinstance(r, (Failure, Error)) for r in results)
        print("KO" if failed else "OK", f"{case.time:g}", case.classname, case.name, sep="\t")
