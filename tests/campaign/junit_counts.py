# Reads a JUnit file with junitparser as a CI server would and prints: the
# test cases, the failing ones, the distinct (classname, name) IDs, and the
# counts the document declares.
import sys
from junitparser import JUnitXml, Failure
xml = JUnitXml.fromfile(sys.argv[1])
ids, tests, failures = set(), 0, 0
for suite in xml:
    for case in suite:
        ids.add((case.classname, case.name))
        tests += 1
        failures += any(isinstance(r, Failure) for r in case.result)
print(tests, failures, len(ids), xml.tests, xml.failures)
