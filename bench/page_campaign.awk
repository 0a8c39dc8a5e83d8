# Writes the ROD file of a large campaign for the page-load benchmark:
# S services of T tests each (awk -v S=200 -v T=25 -f page_campaign.awk).
# Every test has a comment, one or two requirements (400 names shared across
# the campaign, so a name occurs in several tests) and three elements; one
# test in five has coverage lines of its own, and each service ends with the
# coverage of its module, as in bench/generate_rod.cpp's realistic campaign.
# One test in 41 is KO through one of its elements. With the page of before
# (positional anchors, nothing folded) this made a 13.4 MB page, a little
# more than the 12.7 MB a user reported for a run of this shape.
BEGIN {
  print "KOVIN Merovia ROD: 1.1.0"
  print "MO Page load campaign"
  print "VM 3.2.1"; print "SO src/module.c"; print "PT tests/module.ptu"; print "VO Qarvo 7.2"
  print "DE 2026/11/30 09:13:02"
  print "FX  0 /home/qa/campaigns/page"
  print "RQ SYS_001; owner:$USER; level=A"
  for (s = 1; s <= S; s++) {
    print "NS service_" s
    print "TS unit"
    print "CO Checks the behaviour of service " s " under nominal and limit inputs."
    print "RQ SRS_SVC_" s "; source=SRS v2.3; verified_by:test"
    for (t = 1; t <= T; t++) {
      k = (s - 1) * T + t
      ko = (k % 41 == 0)
      print "NT test_" s "_" t
      print "CO Test case " t " of service " s
      print "RQ SRS_" (k % 400) " rate=12.5 unit=ft/s mode:nominal"
      if (k % 5 == 0) print "RQ SRS_" ((k * 7) % 400) ", expected=25, limit=30"
      for (e = 1; e <= 3; e++) {
        print "NB element_" e
        print "NV value_" e
        print "VA " e
        print "RV " ((ko && e == 2) ? "INCORRECT" : "CORRECT")
      }
      print "RT " (ko ? "INCORRECT" : "CORRECT")
      if (t % 10 == 0) {
        print "KL File src/module_" s ".c"
        print "KL step_" t "\tif (x > max) (3/4)"
        print "KL step_" t "\tfor loop (1/1)"
      }
    }
    print "KL File src/module_" s ".c"
    for (f = 0; f < 8; f++) print "KL function_" f "\tif (x > " f ") (" (f % 4) "/4)"
  }
}
