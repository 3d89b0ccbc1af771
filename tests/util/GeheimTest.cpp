#include <gtest/gtest.h>

#include <string>

#include "util/Geheim.h"

namespace {

// Every form of a connection target the PostgreSQL client takes a password
// in; what holds none is shown as it is.
TEST(Geheim, Net8AnzeigeHidesEveryPasswordForm) {
    const struct {
        const char* net8;
        const char* gezeigt;
    } faelle[] = {
        {"postgresql://korvi:Geheim@db:5432/bde", "postgresql://korvi:***@db:5432/bde"},
        {"postgres://korvi:Ge@Geheim@db/bde?sslmode=require", "postgres://korvi:***@db/bde?sslmode=require"},
        {"postgresql://korvi@db/bde?password=Geheim&sslmode=require",
         "postgresql://korvi@db/bde?password=***&sslmode=require"},
        {"postgresql:///bde?host=/tmp&password=Geheim", "postgresql:///bde?host=/tmp&password=***"},
        {"postgresql://db/bde?sslpassword=Geheim", "postgresql://db/bde?sslpassword=***"},
        {"host=db dbname=bde password=Geheim user=korvi", "host=db dbname=bde password=*** user=korvi"},
        {"host=db password = 'Ge heim\\' Geheim' dbname=bde", "host=db password = *** dbname=bde"},
        {"password=Geheim\\ Geheim", "password=***"},
        {"sslpassword=Geheim", "sslpassword=***"},
        {"postgresql://korvi@db/bde", "postgresql://korvi@db/bde"},
        {"bde_service", "bde_service"},
        {"sqlite:/var/lib/bde=x/password=y.db", "sqlite:/var/lib/bde=x/password=y.db"},
    };
    for (const auto& f : faelle) {
        const std::string gezeigt = Geheim_Net8Anzeige(f.net8);
        EXPECT_EQ(gezeigt, f.gezeigt) << f.net8;
        EXPECT_EQ(gezeigt.find("Geheim"), std::string::npos) << f.net8;
    }
}

}  // namespace
